// planted_dll.cpp - a library that, once loaded into any process, leaves a marker file beside
// itself: "<its own file name>.loaded", holding the path of the program that loaded it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    constexpr char kSuffix[] = ".loaded";
    char marker[MAX_PATH + sizeof kSuffix];
    DWORD length = GetModuleFileNameA(instance, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcpyA(marker + length, kSuffix);
    char program[MAX_PATH] = {};
    DWORD programLength = GetModuleFileNameA(nullptr, program, MAX_PATH);
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, program, programLength < MAX_PATH ? programLength : 0, &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}
