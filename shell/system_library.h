// system_library.h - loading a DLL from the system directory only, on every Windows.
#pragma once

#include <windows.h>

// Loads the system DLL name (for example "winmm.dll") from the system directory, never from
// the program's or the current directory; nullptr if it cannot be loaded there. Uses the
// system-directory search flag where Windows knows it, and the full path where it does not.
HMODULE LoadSystemLibrary(const char* name);

// The fallback of LoadSystemLibrary: the DLL by its full path in the system directory, its
// own imports looked for beside it.
HMODULE LoadFromSystemDirectory(const char* name);
