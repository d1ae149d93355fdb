// path_strings.cpp - adding and dropping the trailing backslash of directory paths, and the
// character steps they are walked by.
#include "shell/path_strings.h"

#include <cstring>

#include "app/install_state.h"

const char* NextCharacter(const char* p) {
    return IsLeadByte(*p) && p[1] != '\0' ? p + 2 : p + 1;
}

char* LastCharacter(char* path) {
    char* last = path;
    for (char* p = path; *p; p = NextCharacter(p))
        last = p;
    return last;
}

void LowerCaseLetters(char* path) {
    for (char* p = path; *p; p = NextCharacter(p))
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p - 'A' + 'a');
}

void NormalizeDirectory(char* path) {
    if (path[0] == '\0')
        return;
    // A lead byte is never ':' or '\', so the first byte of the last character tells.
    char last = *LastCharacter(path);
    // A bare drive designator ("C:") means the drive's current directory; a backslash
    // after it would mean its root, so it stays as it is.
    if (last == ':' || last == '\\')
        return;
    size_t length = std::strlen(path);
    if (length + 2 > static_cast<size_t>(kPathSize))
        return;
    path[length] = '\\';
    path[length + 1] = '\0';
}

void StripTrailingBackslash(char* path) {
    char* last = LastCharacter(path);
    if (*last == '\\')
        *last = '\0';
}

char* CopyWithoutTrailingBackslashes(const char* source, char* destination) {
    size_t length = strnlen(source, kPathSize);
    if (length == static_cast<size_t>(kPathSize)) {
        destination[0] = '\0';
        return nullptr;
    }
    // The copy ends behind the last character that is not a backslash.
    size_t kept = 0;
    for (const char* p = source; *p;) {
        const char* next = NextCharacter(p);
        if (*p != '\\')
            kept = static_cast<size_t>(next - source);
        p = next;
    }
    std::memcpy(destination, source, kept);
    destination[kept] = '\0';
    return destination + kept;
}
