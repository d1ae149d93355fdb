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
} // namespace archive
