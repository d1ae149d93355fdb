// archive_walk.h - the one walk over the items behind the marker, for every reader of them.
//
// The extraction, the payload check before it and the builder's list and verify read the
// items by the same rules: a name of 1 to 260 non-zero bytes and its terminator, a '>' name
// for a sub-directory, a 4-byte size behind a file entry's name, an empty name at the end.
// The walk applies them; a reader says where the bytes come from (ItemInput) and what it does
// with each item (ItemVisitor). The calls are virtual rather than the walk a template, so
// the setup program holds the walk once; a call per name byte is nothing beside the stream
// read it stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace archive {

// What the walk itself finds wrong with the items' headers.
enum class HeaderDamage {
    kEndsInName, // the file ends before a name's terminator (the end item's included)
    kLongName,   // 260 bytes of a name and no terminator behind them
    kEndsInSize, // the file ends inside a file entry's size field
};

// Where the walk reads the items' headers from; a reader that counts or sums the bytes it
// reads sees every byte of them here.
class ItemInput {
  public:
    // The next byte, or EOF.
    virtual int NextByte() = 0;
    // The next size bytes into dest; false if the file ends first.
    virtual bool ReadBytes(unsigned char* dest, size_t size) = 0;
    // Reports damage and returns 0.
    virtual int Damaged(HeaderDamage what) = 0;

  protected:
    ~ItemInput() = default;
};

// What a reader does with each item. Every call returns non-zero for the walk to go on and 0
// to stop it, on a failure the reader has already reported.
class ItemVisitor {
  public:
    // A sub-directory item; item is its name, '>' included.
    virtual int Subdirectory(const char* item) = 0;
    // A file entry's name, before its size is read: a reader that refuses the name, or names
    // the entry in its messages, does so ahead of a size field that may be cut short.
    virtual int EntryName(const char*) { return 1; }
    // A file entry whose size field holds size; reads exactly the entry's data, which
    // archive::EntryByteCount(size) counts.
    virtual int Entry(const char* name, int32_t size) = 0;
    // The end item; the input stands right behind it.
    virtual int End() = 0;

  protected:
    ~ItemVisitor() = default;
};

// Reads f in 16-byte records from where it stands, record by record into record, until one
// is the marker; false if the file ends first. f is left behind the marker.
bool SkipToMarker(FILE* f, unsigned char* record);

// Reads one item name, terminator included, into name (kMaxNameLength + 1 bytes). A name that
// runs past kMaxNameLength bytes is cut there with a terminator and reported.
int ReadItemName(ItemInput& input, char* name);

// Reads a file entry's size field into size.
int ReadItemSize(ItemInput& input, int32_t* size);

// Reads the items from input, which stands behind the marker, up to the end item, each name
// into name (kMaxNameLength + 1 bytes), and reports each item to visitor. Returns what End
// returns, or 0 when the input or the visitor stopped the walk.
int WalkItems(ItemInput& input, ItemVisitor& visitor, char* name);

} // namespace archive
