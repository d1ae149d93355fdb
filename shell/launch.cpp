// launch.cpp - RunProgram, ViewDocument and the texts of a failed document opening.
#include "shell/launch.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>

#include "app/texts.h"
#include "framework/wait_cursor.h"
#include "shell/messages.h"

HCURSOR waitCursor = nullptr;
HWND ownerWindow = nullptr;

// On 32-bit Windows the record's own size is 68 bytes.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "start-up record size");

// Fields in order: size; reserved, desktop, title; position, size, character counts and fill
// attribute; flags and show state; reserved count and data; standard handles.
STARTUPINFOA startupSettings = {
    sizeof(STARTUPINFOA), nullptr,       nullptr, nullptr, 0,       0,       0,       0, 0, 0, 0,
    STARTF_USESHOWWINDOW, SW_SHOWNORMAL, 0,       nullptr, nullptr, nullptr, nullptr,
};

const char* const ViewErrorTexts[32] = {
    "Out of Memory or Corrupted Application",
    "Error #1",
    "File not found",
    "Path not found",
    "Error #4",
    "DDE, Sharing or Network Error",
    "Library Data Segments Error",
    "Error #7",
    "No memory to start application",
    "Error #9",
    "Incorrect Windows Version",
    "Invalid .EXE file",
    "Incorrect Operating System",
    "Application was designed for MS-Dos 4.0",
    "Unknown .EXE file type",
    "Attempted to load real-mode application",
    "Application already in use",
    "Error #17",
    "Error #18",
    "Application .EXE file is compressed",
    "Corrupted .DLL file",
    "Application requires Windows 32-bit extensions",
    "Error #22",
    "Error #23",
    "Error #24",
    "Error #25",
    "Error #26",
    "Error #27",
    "Error #28",
    "Error #29",
    "Error #30",
    "No Executable Application associated with this file",
};

int RunProgram(char* commandLine, const char* caption) {
    CWaitCursor wait;
    PROCESS_INFORMATION process;
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startupSettings, &process)) {
        // The program runs on by itself; its handles are of no further use here.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 1;
    }
    // Still under the wait cursor, as the text belongs to the failed start.
    ShowSystemError(caption, {commandLine});
    return 0;
}

void ViewDocument(const char* path) {
    SetCursor(waitCursor);
    // The default action of a document may be carried out by a shell extension, which needs
    // COM on the calling thread, in an apartment of its own. Initialised for the call and
    // balanced after it, as around each shortcut; where the thread's apartment is of another
    // kind already, the document is opened all the same and nothing is owed.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    HINSTANCE result = ShellExecuteA(ownerWindow, nullptr, path, nullptr, "", SW_SHOWMAXIMIZED);
    if (SUCCEEDED(com))
        CoUninitialize();
    ShowViewError(path, reinterpret_cast<uintptr_t>(result));
}

void ShowViewError(const char* path, uintptr_t result) {
    if (result >= 32)
        return;
    // Room for the caption's 14 fixed characters and a full path; a longer path is cut.
    char caption[276];
    std::snprintf(caption, sizeof caption, text::kViewErrorCaption, path);
    ShowWarning(ViewErrorTexts[result], caption, nullptr);
}
