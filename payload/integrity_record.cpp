// integrity_record.cpp - writing and reading the integrity record's 24 bytes.
#include "payload/integrity_record.h"

#include <cstring>

#include "payload/archive_format.h"
#include "payload/crc32.h"

namespace {

constexpr int kCheckedBytes = 20; // the record's own check covers everything in front of it

} // namespace

void archive::EncodeIntegrityRecord(const IntegrityRecord& record, unsigned char* out) {
    std::memcpy(out, kIntegrityMagic, sizeof kIntegrityMagic);
    StoreLittleEndian(out + 8, record.covered, 8);
    StoreLittleEndian(out + 16, record.crc, 4);
    StoreLittleEndian(out + 20, Crc32(0, out, kCheckedBytes), 4);
}

bool archive::DecodeIntegrityRecord(const unsigned char* bytes, IntegrityRecord* record) {
    if (std::memcmp(bytes, kIntegrityMagic, sizeof kIntegrityMagic) != 0 ||
        archive::LoadLittleEndian(bytes + 20, 4) != Crc32(0, bytes, kCheckedBytes))
        return false;
    record->covered = archive::LoadLittleEndian(bytes + 8, 8);
    record->crc = static_cast<uint32_t>(archive::LoadLittleEndian(bytes + 16, 4));
    return true;
}
