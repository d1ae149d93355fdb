// protected_directories.cpp - refusing to empty drives, system and user folders.
#include "app/protected_directories.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "shell/path_strings.h"

namespace {

// Full path, lower-case ASCII, without trailing backslashes; empty if it cannot be had.
// Walked by characters, as a double-byte character may end in the byte 0x5C.
void Canonical(const char* path, char* out) {
    DWORD length = GetFullPathNameA(path, MAX_PATH, out, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        out[0] = 0;
        return;
    }
    for (char* last = LastCharacter(out); *last == '\\' || *last == '/'; last = LastCharacter(out))
        *last = 0;
    LowerCaseLetters(out);
}

// The last backslash of path that is a character of its own, or nullptr.
char* LastBackslash(char* path) {
    char* found = nullptr;
    for (char* p = path; *p; p = NextCharacter(p))
        if (*p == '\\')
            found = p;
    return found;
}

// True if inner is outer itself or lies below it.
bool IsSameOrBelow(const char* inner, const char* outer) {
    size_t n = std::strlen(outer);
    return n > 0 && std::strncmp(inner, outer, n) == 0 && (inner[n] == 0 || inner[n] == '\\');
}

// What a directory is, whatever its spelling: a short (8.3) name, a "\\?\" prefix, another
// drive letter or a link all lead to the same volume and file index.
struct Identity {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const Identity& o) const {
        return volume == o.volume && high == o.high && low == o.low;
    }
};

bool IdentityOf(const char* path, Identity* id) {
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (ok)
        *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return ok;
}

// True if target is the directory folder (a canonical path) or one of the directories above
// it, up to its drive's root, compared by identity.
bool IsFolderOrAbove(const Identity& target, const char* folder) {
    char level[MAX_PATH];
    std::snprintf(level, sizeof level, "%s", folder);
    for (;;) {
        size_t length = std::strlen(level);
        // A bare drive designator names the drive's current directory; its root needs "\".
        if (length == 2 && level[1] == ':') {
            level[2] = '\\';
            level[3] = 0;
        }
        Identity id;
        if (IdentityOf(level, &id) && id == target)
            return true;
        char* slash = LastBackslash(level);
        if (slash == nullptr || slash[1] == 0)
            return false;
        *slash = 0;
    }
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

    // Compared by spelling, and where the directory exists, by identity too.
    Identity targetId;
    bool identified = IdentityOf(target, &targetId);
    auto isFolderOrAbove = [&](const char* canonical) {
        return IsSameOrBelow(canonical, target) ||
               (identified && IsFolderOrAbove(targetId, canonical));
    };

    char folder[MAX_PATH], canonical[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%s", ownPath);
    char* slash = LastBackslash(folder);
    if (slash != nullptr)
        *slash = 0;
    Canonical(folder, canonical);
    if (isFolderOrAbove(canonical))
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
        if (isFolderOrAbove(canonical))
            return 1;
    }
    return 0;
}
