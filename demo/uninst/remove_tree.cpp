// remove_tree.cpp - deleting everything below a directory, with one file spared.
#include "demo/uninst/remove_tree.h"

#include <windows.h>

#include <cstdio>

namespace {

void NoteFailure(const char* path, RemovalResult* result) {
    if (result->failures++ == 0)
        std::snprintf(result->firstFailure, sizeof result->firstFailure, "%s", path);
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool RemoveOne(const char* path, const WIN32_FIND_DATAA& found, RemovalResult* result) {
    DWORD attributes = found.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A reparse point is removed as the link it is; its target is not ours.
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            RemoveDirectoryContents(path, nullptr, result);
        if (!RemoveDirectoryA(path)) {
            NoteFailure(path, result);
            return false;
        }
        return true;
    }
    if (!DeleteFileA(path)) {
        NoteFailure(path, result);
        return false;
    }
    return true;
}

} // namespace

bool RemoveDirectoryContents(const char* dir, const char* keepName, RemovalResult* result) {
    int failuresBefore = result->failures;
    char pattern[MAX_PATH];
    int length = std::snprintf(pattern, sizeof pattern, "%s\\*", dir);
    if (length < 0 || static_cast<size_t>(length) >= sizeof pattern) {
        NoteFailure(dir, result);
        return false;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return true; // nothing at all, not even "." (a drive root can look like that)
        NoteFailure(dir, result);
        return false;
    }
    do {
        if (IsDotEntry(found.cFileName))
            continue;
        if (keepName != nullptr && (lstrcmpiA(found.cFileName, keepName) == 0 ||
                                    lstrcmpiA(found.cAlternateFileName, keepName) == 0))
            continue;
        char path[MAX_PATH];
        length = std::snprintf(path, sizeof path, "%s\\%s", dir, found.cFileName);
        if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
            NoteFailure(found.cFileName, result);
            continue;
        }
        RemoveOne(path, found, result);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return result->failures == failuresBefore;
}

bool RemoveDirectoryTree(const char* dir, RemovalResult* result) {
    DWORD attributes = GetFileAttributesA(dir);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    int failuresBefore = result->failures;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true; // a file of that name is not a program group; it is not ours to delete
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A linked folder is unlinked; what it points at is not ours.
        if (!RemoveDirectoryA(dir))
            NoteFailure(dir, result);
        return result->failures == failuresBefore;
    }
    RemoveDirectoryContents(dir, nullptr, result);
    if (!RemoveDirectoryA(dir))
        NoteFailure(dir, result);
    return result->failures == failuresBefore;
}
