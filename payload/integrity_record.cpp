// integrity_record.cpp - writing and reading the integrity record's 24 bytes.
#include "payload/integrity_record.h"

#include <cstring>

#include "payload/crc32.h"

namespace {

constexpr int kCheckedBytes = 20; // the record's own check covers everything in front of it

void Put(unsigned char* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t Get(const unsigned char* in, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | in[i];
    return value;
}

} // namespace

void archive::EncodeIntegrityRecord(const IntegrityRecord& record, unsigned char* out) {
    std::memcpy(out, kIntegrityMagic, sizeof kIntegrityMagic);
    Put(out + 8, record.covered, 8);
    Put(out + 16, record.crc, 4);
    Put(out + 20, Crc32(0, out, kCheckedBytes), 4);
}

bool archive::DecodeIntegrityRecord(const unsigned char* bytes, IntegrityRecord* record) {
    if (std::memcmp(bytes, kIntegrityMagic, sizeof kIntegrityMagic) != 0 ||
        Get(bytes + 20, 4) != Crc32(0, bytes, kCheckedBytes))
        return false;
    record->covered = Get(bytes + 8, 8);
    record->crc = static_cast<uint32_t>(Get(bytes + 16, 4));
    return true;
}
