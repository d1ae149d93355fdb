// ansi_paths.cpp - exact conversion of UTF-16 paths to the ANSI code page, by short names.
#include "shell/ansi_paths.h"

#include <windows.h>

#include <cstring>

#include "app/install_state.h"

namespace {

// True if wide converts into path with every character its own 8-bit form, and fits. No
// best fit: a look-alike ("a" for "ä") would name another file, as '?' would name none.
bool ConvertExactly(const wchar_t* wide, char* path) {
    // The UTF-8 code page (an option of Windows 10) holds every character, and takes neither
    // the flag nor the question whether the default character was used.
    bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, path,
                                     kPathSize, nullptr, utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    // A name holds no '?' of its own; past the "\\?\" prefix one would be a stand-in.
    const char* rest = std::strncmp(path, "\\\\?\\", 4) == 0 ? path + 4 : path;
    return std::strchr(rest, '?') == nullptr;
}

} // namespace

int ToAnsiPath(const wchar_t* wide, char* path) {
    if (ConvertExactly(wide, path))
        return 1;
    wchar_t shortPath[kPathSize];
    DWORD length = GetShortPathNameW(wide, shortPath, kPathSize);
    if (length > 0 && length < static_cast<DWORD>(kPathSize) && ConvertExactly(shortPath, path))
        return 1;
    path[0] = 0;
    return 0;
}
