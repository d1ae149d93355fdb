// disk_space.cpp - the volume's free space and cluster size, and the space a wipe frees.
#include "shell/disk_space.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/install_state.h"

namespace {

uint64_t Clusters(uint64_t bytes, uint32_t cluster) {
    return (bytes + cluster - 1) / cluster * cluster;
}

} // namespace

int GetVolumeSpace(const char* directory, uint32_t* cluster, uint64_t* freeBytes) {
    // The root of the volume that holds the directory, found by its path alone, for the
    // directory may not exist yet; the empty text asks about the current directory's.
    char root[kPathSize];
    const char* volume = nullptr;
    if (directory[0] != 0) {
        if (!GetVolumePathNameA(directory, root, sizeof root))
            return 0;
        volume = root;
    }
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    ULARGE_INTEGER available, totalBytes, totalFree;
    if (!GetDiskFreeSpaceA(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
        !GetDiskFreeSpaceExA(volume, &available, &totalBytes, &totalFree))
        return 0;
    uint64_t size = uint64_t(sectorsPerCluster) * bytesPerSector;
    *cluster = size > 0 && size <= 0x80000000u ? static_cast<uint32_t>(size) : 4096;
    *freeBytes = available.QuadPart;
    return 1;
}

uint64_t SpaceFreedByWipe(const char* directory, uint32_t cluster) {
    char path[kPathSize];
    int length = std::snprintf(path, sizeof path, "%s\\*", directory);
    if (length < 0 || length >= kPathSize)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    uint64_t freed = 0;
    do {
        // An entry whose path does not fit cannot be addressed, so the wipe leaves it.
        if (std::snprintf(path, sizeof path, "%s\\%s", directory, found.cFileName) >= kPathSize)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (found.cFileName[0] != '.')
                freed += SpaceFreedByWipe(path, cluster);
        } else {
            freed += Clusters(uint64_t(found.nFileSizeHigh) << 32 | found.nFileSizeLow, cluster);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return freed;
}
