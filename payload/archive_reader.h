// archive_reader.h - finding the payload in the own file and reading its item headers.
//
// All three return non-zero for success and 0 for failure; a failure has already been
// reported through the observer with the damaged-file message.
#pragma once

#include <cstdint>

// Opens installState.ownPath into payloadFile and leaves it just behind the marker.
int OpenPayload();

// Reads one item name, terminator included, into dest (at least 261 bytes).
int ReadEntryName(char* dest);

// Reads a file entry's signed 32-bit little-endian size into dest.
int ReadEntrySize(int32_t* dest);
