// protected_directories.cpp - refusing to empty drives, system and user folders.
#include "app/protected_directories.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstring>

namespace {

// Full path, lower-case ASCII, without trailing backslashes; empty if it cannot be had.
void Canonical(const char* path, char* out) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) {
        out[0] = 0;
        return;
    }
    while (length > 0 && (full[length - 1] == '\\' || full[length - 1] == '/'))
        full[--length] = 0;
    for (DWORD i = 0; i <= length; ++i)
        out[i] = (full[i] >= 'A' && full[i] <= 'Z') ? static_cast<char>(full[i] - 'A' + 'a') : full[i];
}

// True if inner is outer itself or lies below it.
bool IsSameOrBelow(const char* inner, const char* outer) {
    size_t n = std::strlen(outer);
    return n > 0 && std::strncmp(inner, outer, n) == 0 && (inner[n] == 0 || inner[n] == '\\');
}

bool KnownFolder(REFKNOWNFOLDERID id, char* out) {
    PWSTR wide = nullptr;
    bool ok = SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &wide)) &&
              WideCharToMultiByte(CP_ACP, 0, wide, -1, out, MAX_PATH, nullptr, nullptr) > 0;
    CoTaskMemFree(wide);
    return ok;
}

} // namespace

int IsProtectedDirectory(const char* directory, const char* ownPath) {
    char target[MAX_PATH];
    Canonical(directory, target);
    if (target[0] == 0)
        return 1; // a directory we cannot even name is not emptied

    // A drive root, a share's root or any other volume's mount point.
    char volume[MAX_PATH], volumeCanonical[MAX_PATH];
    if (GetVolumePathNameA(target, volume, sizeof volume)) {
        Canonical(volume, volumeCanonical);
        if (std::strcmp(volumeCanonical, target) == 0)
            return 1;
    }
    if (std::strlen(target) <= 2) // "c:" alone
        return 1;

    char folder[MAX_PATH], canonical[MAX_PATH];
    std::memcpy(folder, ownPath, std::strlen(ownPath) + 1);
    char* slash = std::strrchr(folder, '\\');
    if (slash != nullptr)
        *slash = 0;
    Canonical(folder, canonical);
    if (IsSameOrBelow(canonical, target))
        return 1;

    static const KNOWNFOLDERID* const kFolders[] = {
        &FOLDERID_Windows,      &FOLDERID_System,          &FOLDERID_SystemX86,
        &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesX64,
        &FOLDERID_ProgramData,  &FOLDERID_Profile,         &FOLDERID_Desktop,
        &FOLDERID_Documents,    &FOLDERID_Downloads,       &FOLDERID_Pictures,
        &FOLDERID_Music,        &FOLDERID_Videos,          &FOLDERID_RoamingAppData,
        &FOLDERID_LocalAppData, &FOLDERID_UserProfiles,    &FOLDERID_Public,
    };
    for (const KNOWNFOLDERID* id : kFolders) {
        if (!KnownFolder(*id, folder))
            continue;
        Canonical(folder, canonical);
        // The folder itself, or any directory above it, such as its drive or C:\Users.
        if (IsSameOrBelow(canonical, target))
            return 1;
    }
    return 0;
}
