// path_strings.cpp - adding and dropping the trailing backslash of directory paths.
#include "shell/path_strings.h"

#include <cstring>

#include "app/install_state.h"

void NormalizeDirectory(char* path) {
    size_t length = std::strlen(path);
    if (length == 0)
        return;
    char last = path[length - 1];
    // A bare drive designator ("C:") means the drive's current directory; a backslash
    // after it would mean its root, so it stays as it is.
    if (last == ':' || last == '\\')
        return;
    if (length + 2 > static_cast<size_t>(kPathSize))
        return;
    path[length] = '\\';
    path[length + 1] = '\0';
}

void StripTrailingBackslash(char* path) {
    size_t length = std::strlen(path);
    if (length > 0 && path[length - 1] == '\\')
        path[length - 1] = '\0';
}

char* CopyWithoutTrailingBackslashes(const char* source, char* destination) {
    size_t length = strnlen(source, kPathSize);
    if (length == static_cast<size_t>(kPathSize)) {
        destination[0] = '\0';
        return nullptr;
    }
    while (length > 0 && source[length - 1] == '\\')
        --length;
    std::memcpy(destination, source, length);
    destination[length] = '\0';
    return destination + length;
}
