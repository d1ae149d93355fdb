// archive_format.h - the payload archive appended behind the setup program's image.
//
// The own file is read as 16-byte records from offset 0. The marker record carries the
// magic in bytes 0-3 and 12-15; a writer fills bytes 4-11 with it too, so the marker is
// the magic four times over. Behind the marker follow the items, with no alignment:
//   file entry:     name (1..260 non-zero bytes), 0, size (signed 32-bit LE), data
//                   size > 0: an imploded stream of exactly size bytes
//                   size <= 0: -size stored bytes
//   sub-directory:  '>' name, 0          (relative to the install directory)
//   end:            0
#pragma once

#include <cstddef>
#include <cstdint>

namespace archive {
constexpr char kMagic[4] = {'Z', 'O', 'L', 'T'};
constexpr int kRecordSize = 16;
constexpr int kMaxNameLength = 260; // bytes before the terminator
constexpr char kSubdirPrefix = '>';

// True if the 16-byte record has the magic at bytes 0-3 and 12-15: what the scan accepts.
bool IsMarkerRecord(const unsigned char* record);

// count (1 to 8) little-endian bytes as a number.
inline uint64_t LoadLittleEndian(const unsigned char* bytes, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

// value as count (1 to 8) little-endian bytes.
inline void StoreLittleEndian(unsigned char* bytes, uint64_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// A file entry's size field: four bytes, signed 32-bit little-endian.
inline int32_t DecodeSize(const unsigned char* bytes) {
    return static_cast<int32_t>(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
                                uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
}

// The number of data bytes of an entry of either kind (an imploded stream's size, or a stored
// size negated). INT32_MIN has no 32-bit magnitude; no archive holds 2 GiB behind its marker,
// so taking INT32_MAX instead only makes the read fail.
inline int32_t EntryByteCount(int32_t size) {
    if (size == INT32_MIN)
        return INT32_MAX;
    return size < 0 ? -size : size;
}
} // namespace archive
