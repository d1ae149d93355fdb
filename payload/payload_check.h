// payload_check.h - checking the archive's structure before anything is deleted.
#pragma once

#include <cstddef>
#include <cstdint>

struct PayloadSummary {
    int32_t total;      // bytes behind the marker
    int entries;        // file entries
    int subdirectories; // '>' items
    size_t longestTail; // longest "sub-directory\name" written below the install directory
};

// Walks the archive of file on a stream of its own: the marker, every name and size, with the
// data skipped by seeking. Sound when every name is a safe one of at most 260 bytes, every
// entry's data and the end item lie within the file. Damage is reported through the
// observer with the damaged-file message; returns non-zero if sound.
int CheckPayload(const char* file, PayloadSummary* summary);
