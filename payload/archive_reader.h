// archive_reader.h - finding the payload in the own file and reading its item headers.
//
// All three return non-zero for success and 0 for failure; a failure has already been
// reported through the observer with the damaged-file message.
#pragma once

#include <cstdint>

#include "payload/archive_walk.h"

// Opens installState.ownPath into payloadFile and leaves it just behind the marker.
int OpenPayload();

// Reads one item name, terminator included, into dest (at least 261 bytes).
int ReadEntryName(char* dest);

// Reads a file entry's signed 32-bit little-endian size into dest.
int ReadEntrySize(int32_t* dest);

// installState.payloadFile as the walk reads it: each byte of a name or a size read adds to
// consumed, and damage is reported with the damaged-file message.
class PayloadInput final : public archive::ItemInput {
  public:
    int NextByte() override;
    bool ReadBytes(unsigned char* dest, size_t size) override;
    int Damaged(archive::HeaderDamage what) override;
};
