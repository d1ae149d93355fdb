// remove_tree.h - deleting everything below a directory, with one file spared.
#pragma once

#include <cstddef>

// What a removal met: the number of items that could not be removed, and the first of them.
struct RemovalResult {
    int failures;
    char firstFailure[260];
};

// Deletes every file and sub-directory inside `dir` (no trailing backslash), depth first, but
// not `dir` itself. A file directly inside `dir` whose long or short name equals `keepName`
// (ignoring case) is left alone; `keepName` may be null. Read-only files are made writable
// first. A linked directory (junction, symbolic link) is unlinked, never entered, so nothing
// outside `dir` is touched. A path that does not fit in 260 bytes counts as a failure.
// Returns true when nothing failed.
bool RemoveDirectoryContents(const char* dir, const char* keepName, RemovalResult* result);

// Removes the directory `dir` with everything in it. Nothing there, or a file rather than a
// directory, is no failure and is left alone.
bool RemoveDirectoryTree(const char* dir, RemovalResult* result);
