// integrity_record.h - the record that the builder appends right behind the end item.
//
// 24 bytes, little-endian:
//   0-7    the magic "LXVCRC32"
//   8-15   covered: the number of bytes from the first byte behind the marker through the
//          end item, unsigned 64-bit
//   16-19  the CRC-32 of those bytes
//   20-23  the CRC-32 of bytes 0-19, so that a damaged record is not taken for a sound one
// Right behind it stands the sizes record, which tells how large each file entry is once
// written, so that the space an installation needs is known before anything is deleted:
//   0-7    the magic "LXVSIZES"
//   8-11   count: the number of file entries, unsigned 32-bit
//   12-    count sizes, unsigned 32-bit, in the order of the entries
//   then   the CRC-32 of every byte of the record in front of it
// The reader stops at the end item, so the setup program's item loop never sees the records,
// and files without them (older files, other writers) read as before. A signature's
// certificate table goes behind them: the records are looked for behind the end item, never
// at the end of the file.
#pragma once

#include <cstdint>

namespace archive {
constexpr char kIntegrityMagic[8] = {'L', 'X', 'V', 'C', 'R', 'C', '3', '2'};
constexpr int kIntegrityRecordSize = 24;

struct IntegrityRecord {
    uint64_t covered;
    uint32_t crc;
};

constexpr char kSizesMagic[8] = {'L', 'X', 'V', 'S', 'I', 'Z', 'E', 'S'};
constexpr int kSizesHeaderSize = 12; // the magic and the count

// Writes the 24 bytes of record to out.
void EncodeIntegrityRecord(const IntegrityRecord& record, unsigned char* out);

// True if the 24 bytes are a record whose own check holds; fills record.
bool DecodeIntegrityRecord(const unsigned char* bytes, IntegrityRecord* record);
} // namespace archive
