// shortcuts.h - shortcut files and the paths of the shell's special folders.
#pragma once

#include <windows.h>

// Writes a shortcut file at linkPath that starts target with the argument string arguments
// (may be empty). COM is initialised for the call and uninitialised before it returns, also
// when the thread had it initialised already. Returns the COM result: S_OK, or the result of
// the first call that failed. A link path whose UTF-16 form does not fit MAX_PATH units gives
// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) and writes nothing.
HRESULT CreateShortcut(const char* target, const char* arguments, const char* linkPath);

// Puts the file-system path of special folder csidl into buffer (kPathSize bytes), without a
// trailing backslash, in the ANSI code page (by its short form where the long one has
// characters outside it; ToAnsiPath). Non-zero on success; 0 when the folder does not exist
// here, has no file-system path or none in the code page, and the buffer is then not to be
// relied on.
int GetSpecialFolderPath(int csidl, char* buffer);

// The current user's Start-menu Programs folder, as GetSpecialFolderPath.
int GetProgramsFolderPath(char* buffer);
