// directories.h - listing entries by position, testing, creating and emptying directories.
#pragma once

#include <cstdint>

#include "app/install_state.h"

// Attribute bits of a directory entry as the find operations report them.
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;

// One directory entry as the find operations fill it. Only the attributes, the last write
// time, the size and the name are ever handed out.
struct FindRecord {
    uint32_t attributes;  // 0 for an entry whose only attribute is "normal"
    int32_t creationTime; // seconds since 1970; -1 where the file system keeps none
    int32_t accessTime;   //
    int32_t writeTime;    //
    uint32_t size;        // low 32 bits of the entry's size in bytes
    char name[kPathSize]; // the entry's own name, without directory
};

// How FindFileByIndex hands out names: 0 as found, 1 lower case, 2 upper case (ASCII letters
// only). It is 1 from the start and nothing in the program changes it.
extern uint8_t NameCaseMode;

// Looks up one entry matching pattern. The handle is the search of the C runtime: -1 when
// none is open. It is kept as intptr_t because the runtime's search handle is pointer-sized
// on 64-bit Windows and must not be truncated. The index selects the use:
//   n >= 1   the n-th entry of a fresh listing, counted from 1; no search stays open;
//   0        closes any open search and returns 0, writing nothing;
//   -1       the first entry of a fresh listing; the search stays open if one was found;
//   <= -2    the next entry of the search left open; it is closed at the end of the listing.
// Each output is written only where given, and only on success: name (kPathSize bytes,
// converted by NameCaseMode), size, last write time, and the low 8 bits of the attributes.
// Returns 0 when an entry was found, -1 otherwise; after -1 the handle is -1.
int FindFileByIndex(FindRecord* record, intptr_t* handle, const char* pattern, int32_t index,
                    char* name, uint32_t* size, int32_t* time, uint8_t* attributes);

// FindFileByIndex on one process-wide record and handle, for callers that keep no find
// state of their own. Not reentrant.
int FindFileByIndexShared(const char* pattern, int32_t index, char* name, uint32_t* size,
                          int32_t* time, uint8_t* attributes);

// 1 if path, with or without trailing backslashes, names an existing directory; 0 for a file,
// a missing or empty path, and a path longer than kPathSize - 1 characters.
int DirectoryExists(const char* path);

// Makes every level of path that does not exist, outermost first; the path may end in a
// backslash. It is changed during the call and restored before it returns. Returns 0 when a
// level's parent cannot be found (a drive that does not exist) or the path is longer than
// kPathSize - 1 characters; 1 otherwise, also when a level could not be made for another
// reason (that shows when files are written into it).
int CreatePath(char* path);

// Empties directory (no trailing backslash) depth first and, with removeSelf set, removes
// it. What cannot be deleted stays, with every directory above it. Sub-directories whose name
// begins with '.' stay with their content; links to directories (reparse points) are never
// entered, only the link itself is removed. Entries whose full path would not fit a path
// buffer stay, and so does a directory whose listing pattern ("directory\*.*") does not fit.
// Returns 1 if removeSelf was set and the directory itself is gone, else 0.
int WipeDirectory(const char* directory, int removeSelf);

// What WipeDirectory (directory, 0) would do, found out without changing anything, in one walk.
// Returns 1 if it could delete everything it would try to, having added to freedBytes the space
// that the files it deletes give back, each rounded up to whole clusters of cluster bytes (a
// link gives back nothing: only the link goes). Returns 0 otherwise, with the full path of the
// first file or link that would stay in blocker (kPathSize bytes): one that another program
// has open, one that a running program was started from, or a read-only one. What the wipe
// leaves by design (directories named with a leading dot, entries it cannot address) blocks
// nothing and frees nothing.
int SurveyWipe(const char* directory, uint32_t cluster, uint64_t* freedBytes, char* blocker);

// 1 if path (no trailing backslash) names an entry that is a link to somewhere else, a
// junction or a symbolic link (a reparse point), else 0.
int IsLink(const char* path);
