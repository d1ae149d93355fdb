// disk_space.h - what a volume has free, and what emptying a directory gives back.
#pragma once

#include <cstdint>

// The cluster size and the bytes free to this user on the volume that holds directory (a
// path that need not exist yet; the empty text is the current directory). 0 if the volume
// cannot tell.
int GetVolumeSpace(const char* directory, uint32_t* cluster, uint64_t* freeBytes);

// The space that emptying directory gives back, as WipeDirectory empties it: every file below
// it, each rounded up to whole clusters, but nothing behind a link (only the link goes) and
// nothing in a sub-directory whose name begins with a dot (it stays).
uint64_t SpaceFreedByWipe(const char* directory, uint32_t cluster);
