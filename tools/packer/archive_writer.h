// archive_writer.h - writes setup files: the image padded to 16 bytes, the marker, items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Offset of the first record of image that the marker scan would take for the marker,
// or -1 if there is none. A stub with such a record cannot carry a payload.
long FindFalseMarker(const unsigned char* image, size_t size);

class ArchiveWriter {
  public:
    // Writes to out, which the caller opened for binary writing and closes.
    explicit ArchiveWriter(FILE* out) : out_(out) {}

    // The image, zero-padded to a multiple of 16, then the marker.
    bool Begin(const unsigned char* image, size_t size);
    // A '>' item; an empty name returns to the install directory.
    bool Subdirectory(const char* name);
    // A stored entry of size bytes (size 0 is an empty file).
    bool Stored(const char* name, const unsigned char* data, size_t size);
    // An imploded entry whose data is one stream of size bytes (more than 4), which explodes
    // to expanded bytes.
    bool Imploded(const char* name, const unsigned char* stream, size_t size, uint32_t expanded);
    // The end item.
    bool End();
    // The integrity record, right behind the end item: the CRC-32 of every byte written
    // since the marker; then the sizes record, the size of every file entry once written.
    // Optional: a file without them installs as before.
    bool IntegrityRecord();

    uint64_t BytesWritten() const { return written_; }

  private:
    bool Put(const void* bytes, size_t size);
    bool Name(const char* name);
    bool Size(int32_t size);

    FILE* out_;
    uint64_t written_ = 0;
    bool behindMarker_ = false; // from here on, bytes count towards the integrity record
    uint64_t covered_ = 0;
    uint32_t crc_ = 0;
    std::vector<uint32_t> sizes_; // of the file entries written, in their order
};
