// directories.cpp - the positional enumerator and the directory operations built on it.
#include "shell/directories.h"

#include <windows.h>
#include <direct.h>
#include <io.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "payload/payload_check.h"
#include "shell/path_strings.h"

uint8_t NameCaseMode = 1;

namespace {

FindRecord sharedRecord;
intptr_t sharedHandle = -1;

// The runtime's times are 64-bit; a record keeps 32 bits, and a time it cannot hold counts
// as one the file system does not keep.
int32_t ToRecordTime(long long seconds) {
    if (seconds < INT32_MIN || seconds > INT32_MAX)
        return -1;
    return static_cast<int32_t>(seconds);
}

void FillRecord(const _finddata_t& data, FindRecord* record) {
    record->attributes = data.attrib;
    record->creationTime = ToRecordTime(data.time_create);
    record->accessTime = ToRecordTime(data.time_access);
    record->writeTime = ToRecordTime(data.time_write);
    record->size = static_cast<uint32_t>(data.size);
    size_t length = strnlen(data.name, sizeof record->name - 1);
    std::memcpy(record->name, data.name, length);
    record->name[length] = '\0';
}

void CloseSearch(intptr_t* handle) {
    if (*handle >= 0)
        _findclose(*handle);
    *handle = -1;
}

// True if the directory entry at path is a link to somewhere else (a junction or a symbolic
// link): wiping through it would delete files outside the directory being emptied. The lookup
// hands out only the low 8 bits of the attributes and the reparse bit lies above them, so the
// file system is asked again by the full path. An entry whose attributes cannot be had (a
// name that does not survive the 8-bit code page comes back with '?' in it) is never entered
// either.
bool IsLinkOrUnknown(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// True if the wipe would try to delete the file or link at path and fail; otherwise *size is
// the bytes a file gives back (0 for a link, which is removed alone). Asked without changing
// anything: an open for delete access that shares nothing fails while any other program has
// the file open (or has it open without sharing its deletion). A read-only file opens all the
// same but cannot be deleted, so its attribute is asked first. A program that runs from the
// file has it mapped as its image: that file opens for delete too, and only writing its data
// is refused, so a file is opened for writing as well. A link is opened as itself, never
// followed. An entry whose attributes cannot be had is one the wipe cannot address either; it
// stays as it always has, and blocks nothing here.
bool CannotBeDeleted(const char* path, uint64_t* size) {
    *size = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return false;
    bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!link && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return true;
    DWORD access = link ? DELETE : DELETE | FILE_WRITE_DATA;
    HANDLE file = CreateFileA(path, access, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
               error != ERROR_INVALID_NAME;
    }
    CloseHandle(file);
    if (!link)
        *size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return false;
}

// The two path buffers of one directory level: "directory\" and the pattern that lists it.
// False if either does not fit, when the level cannot be listed.
bool LevelPaths(const char* directory, char* prefix, int* prefixLength, char* pattern) {
    *prefixLength = std::snprintf(prefix, kPathSize, "%s\\", directory);
    if (*prefixLength < 0 || *prefixLength >= kPathSize)
        return false;
    int patternLength = std::snprintf(pattern, kPathSize, "%s*.*", prefix);
    return patternLength >= 0 && patternLength < kPathSize;
}

} // namespace

int FindFileByIndex(FindRecord* record, intptr_t* handle, const char* pattern, int32_t index,
                    char* name, uint32_t* size, int32_t* time, uint8_t* attributes) {
    if (index >= -1)
        CloseSearch(handle);
    if (index == 0)
        return 0;

    _finddata_t data;
    bool found;
    if (index >= -1) {
        intptr_t search = _findfirst(pattern, &data);
        *handle = search < 0 ? -1 : search;
        if (*handle < 0)
            return -1;
        found = true;
        for (int32_t step = 1; found && step < index; ++step)
            found = _findnext(*handle, &data) == 0;
    } else {
        // Without an open search there is no next entry to step on to.
        found = *handle >= 0 && _findnext(*handle, &data) == 0;
    }

    if (found) {
        FillRecord(data, record);
        if (name) {
            std::memcpy(name, record->name, std::strlen(record->name) + 1);
            if (NameCaseMode == 1)
                _strlwr(name);
            else if (NameCaseMode == 2)
                _strupr(name);
        }
        if (size)
            *size = record->size;
        if (time)
            *time = record->writeTime;
        if (attributes)
            *attributes = static_cast<uint8_t>(record->attributes);
    }
    if (index >= 1 || !found)
        CloseSearch(handle);
    return found ? 0 : -1;
}

int FindFileByIndexShared(const char* pattern, int32_t index, char* name, uint32_t* size,
                          int32_t* time, uint8_t* attributes) {
    return FindFileByIndex(&sharedRecord, &sharedHandle, pattern, index, name, size, time,
                           attributes);
}

int DirectoryExists(const char* path) {
    char copy[kPathSize];
    if (!CopyWithoutTrailingBackslashes(path, copy))
        return 0;
    uint8_t attributes = 0;
    if (FindFileByIndexShared(copy, 1, nullptr, nullptr, nullptr, &attributes) != 0)
        return 0;
    return (attributes & kAttributeDirectory) ? 1 : 0;
}

int CreatePath(char* path) {
    if (strnlen(path, kPathSize) == static_cast<size_t>(kPathSize))
        return 0;
    // Each level is made by ending the string at its backslash for the moment. A backslash
    // that begins the path or follows a drive's colon ends no level of its own. The walk goes
    // by characters: the trail byte of a double-byte character may be 0x5C without being a
    // backslash.
    char* previous = nullptr; // the character before p
    for (char* p = path; *p; previous = p, p = NextCharacter(p)) {
        if (*p != '\\' || previous == nullptr || *previous == ':')
            continue;
        *p = '\0';
        int made = _mkdir(path);
        int error = errno;
        *p = '\\';
        // Only a missing parent stops the walk; a level that exists already is the usual
        // case, and other failures show when files are written into the level.
        if (made != 0 && error == ENOENT)
            return 0;
    }
    if (previous != nullptr && *previous != '\\' && *previous != ':') {
        if (_mkdir(path) != 0 && errno == ENOENT)
            return 0;
    }
    return 1;
}

int WipeDirectory(const char* directory, int removeSelf) {
    // The prefix buffer holds "directory\" and, behind it, the name of the current entry, so
    // that it always holds that entry's full path.
    char prefix[kPathSize];
    char pattern[kPathSize];
    int prefixLength = 0;
    if (!LevelPaths(directory, prefix, &prefixLength, pattern))
        return 0;

    // No search stays open between lookups (positive indices only), so nothing is listed
    // while entries are deleted or while a sub-directory is wiped. After a removal the same
    // position holds the entry that followed; only an entry that stays moves the index on.
    // Entries are addressed by their name as found (the record's), not by the lower-cased
    // name handed out: where the file system tells names apart by case, that is the only
    // name certain to address the very entry that was found.
    FindRecord record;
    intptr_t handle = -1;
    uint8_t attributes = 0;
    int32_t index = 1;
    while (FindFileByIndex(&record, &handle, pattern, index, nullptr, nullptr, nullptr,
                           &attributes) == 0) {
        const char* name = record.name;
        size_t nameLength = std::strlen(name);
        if (prefixLength + nameLength >= static_cast<size_t>(kPathSize)) {
            ++index; // its full path does not fit a path buffer: it cannot be addressed
            continue;
        }
        std::memcpy(prefix + prefixLength, name, nameLength + 1);

        bool removed;
        if (attributes & kAttributeDirectory) {
            if (name[0] == '.')
                removed = false; // ".", ".." and every directory named with a leading dot
            else if (IsLinkOrUnknown(prefix))
                removed = _rmdir(prefix) == 0; // the link goes, what it points at stays
            else
                removed = WipeDirectory(prefix, 1) == 1;
        } else {
            removed = std::remove(prefix) == 0;
        }
        if (!removed)
            ++index;
    }

    if (!removeSelf)
        return 0;
    return _rmdir(directory) == 0 ? 1 : 0;
}

int SurveyWipe(const char* directory, uint32_t cluster, uint64_t* freedBytes, char* blocker) {
    char prefix[kPathSize];
    char pattern[kPathSize];
    int prefixLength = 0;
    if (!LevelPaths(directory, prefix, &prefixLength, pattern))
        return 1; // the wipe does not list it either

    // The same walk as the wipe's, over what the wipe would delete, but nothing is deleted, so
    // one search runs through the listing. Each level keeps its own search open while it
    // looks below; every way out closes it.
    FindRecord record;
    intptr_t handle = -1;
    uint8_t attributes = 0;
    for (int32_t index = -1; FindFileByIndex(&record, &handle, pattern, index, nullptr, nullptr,
                                             nullptr, &attributes) == 0;
         index = -2) {
        const char* name = record.name;
        size_t nameLength = std::strlen(name);
        if (prefixLength + nameLength >= static_cast<size_t>(kPathSize))
            continue; // the wipe cannot address it and leaves it
        std::memcpy(prefix + prefixLength, name, nameLength + 1);
        if (attributes & kAttributeDirectory) {
            if (name[0] == '.')
                continue; // left with its content
            if (!IsLinkOrUnknown(prefix)) {
                if (SurveyWipe(prefix, cluster, freedBytes, blocker))
                    continue;
                FindFileByIndex(&record, &handle, pattern, 0, nullptr, nullptr, nullptr, nullptr);
                return 0; // blocker names the entry found below
            }
        }
        uint64_t size = 0;
        if (CannotBeDeleted(prefix, &size)) {
            FindFileByIndex(&record, &handle, pattern, 0, nullptr, nullptr, nullptr, nullptr);
            std::memcpy(blocker, prefix, std::strlen(prefix) + 1);
            return 0;
        }
        *freedBytes += WholeClusters(size, cluster);
    }
    return 1;
}

int IsLink(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
