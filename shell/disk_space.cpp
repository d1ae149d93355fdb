// disk_space.cpp - the volume's free space and cluster size.
#include "shell/disk_space.h"

#include <windows.h>

#include "app/install_state.h"

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
