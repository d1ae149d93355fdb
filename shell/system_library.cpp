// system_library.cpp - loading a DLL from the system directory only.
#include "shell/system_library.h"

#include <cstring>

HMODULE LoadFromSystemDirectory(const char* name) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + std::strlen(name) >= MAX_PATH)
        return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, std::strlen(name) + 1);
    // The DLL's own imports are then searched for beside it first, not beside the program.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE library = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows XP, and Vista and 7 without the update that brought the search flags, refuse
    // the flag as an invalid parameter; there the full path does the same.
    if (library == nullptr && GetLastError() == ERROR_INVALID_PARAMETER)
        library = LoadFromSystemDirectory(name);
    return library;
}
