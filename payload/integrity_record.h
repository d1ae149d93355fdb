// integrity_record.h - the record that the builder appends right behind the end item.
//
// 24 bytes, little-endian:
//   0-7    the magic "LXVCRC32"
//   8-15   covered: the number of bytes from the first byte behind the marker through the
//          end item, unsigned 64-bit
//   16-19  the CRC-32 of those bytes
//   20-23  the CRC-32 of bytes 0-19, so that a damaged record is not taken for a sound one
// The reader stops at the end item, so the setup program's item loop never sees the record,
// and files without it (older files, other writers) read as before. A signature's certificate
// table goes behind the record: the record is looked for behind the end item, never at the
// end of the file.
#pragma once

#include <cstdint>

namespace archive {
constexpr char kIntegrityMagic[8] = {'L', 'X', 'V', 'C', 'R', 'C', '3', '2'};
constexpr int kIntegrityRecordSize = 24;

struct IntegrityRecord {
    uint64_t covered;
    uint32_t crc;
};

// Writes the 24 bytes of record to out.
void EncodeIntegrityRecord(const IntegrityRecord& record, unsigned char* out);

// True if the 24 bytes are a record whose own check holds; fills record.
bool DecodeIntegrityRecord(const unsigned char* bytes, IntegrityRecord* record);
} // namespace archive
