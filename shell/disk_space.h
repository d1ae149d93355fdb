// disk_space.h - what a volume has free, and its cluster size.
#pragma once

#include <cstdint>

// The cluster size and the bytes free to this user on the volume that holds directory (a
// path that need not exist yet; the empty text is the current directory). 0 if the volume
// cannot tell.
int GetVolumeSpace(const char* directory, uint32_t* cluster, uint64_t* freeBytes);
