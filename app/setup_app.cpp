// setup_app.cpp - start-up, the one setup dialog, and starting the product at exit.
#include "app/setup_app.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/install_state.h"
#include "app/texts.h"
#include "res/resource.h"
#include "shell/ansi_paths.h"
#include "shell/launch.h"
#include "shell/messages.h"
#include "shell/sounds.h"
#include "ui/quick_help.h"
#include "ui/setup_dialog.h"

namespace {

// A DLL planted beside a downloaded setup program must never be loaded: from here on, DLLs
// come from the system directory only. Looked up at run time, as Windows before 8 may lack it.
void RestrictDllSearch() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr)
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryA(""); // takes the current directory out of the search as well
}

// Held from start-up to exit, so that a second copy finds it taken: two copies would empty
// and fill the same directory in turns. The name is one for the whole machine, as the
// directory may be (C:\Lexivane): a copy of another user's finds the mutex there too, but
// may not open it (access denied), which tells just as well that a copy runs.
HANDLE oneCopy = nullptr;

bool TakeOneCopyMutex() {
    oneCopy = ::CreateMutexA(nullptr, FALSE, "Global\\Lexivane Setup");
    DWORD error = ::GetLastError();
    if (oneCopy != nullptr && error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(oneCopy);
        oneCopy = nullptr;
        return false;
    }
    // A mutex that could not be made for any other reason stops nobody: the one copy runs.
    return oneCopy != nullptr || error != ERROR_ACCESS_DENIED;
}

} // namespace

SetupApp theApp;

BOOL SetupApp::InitInstance() {
    RestrictDllSearch();
    if (!TakeOneCopyMutex()) {
        ShowWarning(text::kAlreadyRunning, text::kStartUpErrorCaption, nullptr);
        return FALSE; // ends at once, with exit code 0 as every run
    }
    InstallState& s = installState;
    waitCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)); // IDC_WAIT
    // A path that does not fit is left empty, so the payload is reported damaged rather
    // than looked for in some other file. The path is asked in UTF-16: its 8-bit form has '?'
    // for a character outside the code page, and the payload would be looked for in no file
    // at all, "damaged" for ever. One that has no exact 8-bit form, short or long, is said so.
    wchar_t ownPath[kPathSize];
    DWORD length = ::GetModuleFileNameW(nullptr, ownPath, kPathSize);
    if (length == 0 || length >= static_cast<DWORD>(kPathSize)) {
        s.ownPath[0] = 0;
    } else if (!ToAnsiPath(ownPath, s.ownPath)) {
        ShowWarning(text::kOwnPathUnusable, text::kStartUpErrorCaption, nullptr);
        return FALSE;
    }
    PlaySystemSound(text::kSoundStart, 0);

    HDC screen = ::GetDC(nullptr);
    s.highColour = ::GetDeviceCaps(screen, BITSPIXEL) > 8;
    ::ReleaseDC(nullptr, screen);

    // Constructed here, after highColour is known, and destroyed at the end of the process.
    static SetupDialog dialog(IDD_SETUP);
    if (dialog.GetSafeHwnd() == nullptr)
        return FALSE; // without its window the program could never be ended: leave at once
    s.observer = &dialog;
    mainWindow = &dialog;
    RegisterQuickHelp(IDB_PANEL,
                      ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_DOT_CURSOR)),
                      IDD_HELP_GENERAL);
    return TRUE;
}

int SetupApp::ExitInstance() {
    if (installState.succeeded)
        StartProduct();
    if (oneCopy != nullptr)
        ::CloseHandle(oneCopy);
    return 0;
}

void SetupApp::StartProduct() {
    InstallState& s = installState;
    std::snprintf(s.dirEnd, sizeof s.installDir - static_cast<size_t>(s.dirEnd - s.installDir),
                  "%s", text::kProductProgram);
    // Without quotes, a directory with a blank ("c:\my programs\...") would make the system
    // try "c:\my.exe" first; the command line names the product alone, quoted.
    char commandLine[kPathSize + 2];
    if (std::strchr(s.installDir, ' ') != nullptr)
        std::snprintf(commandLine, sizeof commandLine, "\"%s\"", s.installDir);
    else
        std::snprintf(commandLine, sizeof commandLine, "%s", s.installDir);
    RunProgram(commandLine, text::kStartUpErrorCaption);
}
