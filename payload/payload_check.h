// payload_check.h - checking the whole payload before anything is deleted.
#pragma once

#include <cstddef>
#include <cstdint>

struct PayloadSummary {
    int32_t total;      // bytes behind the marker
    int entries;        // file entries
    int subdirectories; // '>' items
    size_t longestTail; // longest "sub-directory\name" below the install directory, or
                        // "sub-directory\" for a section, with the backslash
    bool hasRecord;     // an integrity record stands behind the end item, and it holds
    uint64_t covered;   // bytes from behind the marker through the end item
    uint32_t crc;       // their CRC-32
    const char* damage; // what is wrong, for a developer's eyes; null if sound
    // The space that the file entries installed with installState.option take once written,
    // each rounded up to whole clusters.
    uint64_t installedBytes;
};

// bytes as they occupy a volume of cluster-byte clusters.
inline uint64_t WholeClusters(uint64_t bytes, uint32_t cluster) {
    return (bytes + cluster - 1) / cluster * cluster;
}

// Reads the whole archive of file on a stream of its own, as the extraction will read it, and
// refuses what the extraction would refuse: a name of more than 260 bytes or an unsafe one
// (for every entry, installed or not), and an entry or end item beyond the file's end. When
// an integrity record stands behind the end item, the CRC-32 of the bytes it covers must
// match, and then the imploded streams count as sound, for the builder has exploded each of
// them; a sound record anywhere else means the items do not end where the builder ended them.
// A file without any record is read a second time with every imploded stream exploded (its
// output dropped): a stream that does not explode, or is shorter than its size, is refused.
// The installed sizes come from the sizes record behind the integrity record; a file without
// it is read the second time, with every stream exploded, whatever its integrity record says.
// Works in installState.scratch. Damage is reported through the observer with the
// damaged-file message; returns non-zero if sound.
int CheckPayload(const char* file, PayloadSummary* summary, uint32_t cluster = 1);
