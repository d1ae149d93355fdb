// launch.h - starting programs and opening documents, and what is shown when that fails.
#pragma once

#include <windows.h>

#include <cstdint>

// The process-wide wait cursor (the system's IDC_WAIT), loaded once at start-up; null before.
extern HCURSOR waitCursor;
// The setup dialog's window, recorded when the dialog initialises; null before.
extern HWND ownerWindow;

// The start-up settings of every process started here: size, "use the show state", and the
// normal show state; every other field is zero.
extern STARTUPINFOA startupSettings;

// The texts for a failed document opening, indexed by its result 0 to 31.
extern const char* const ViewErrorTexts[32];

// Starts the program of commandLine (taken as it is, without added quotes) and does not wait
// for it. On failure the system's text for the error is shown under caption, with the command
// line as its insert %1. Returns 1 started, 0 failed. The wait cursor is shown meanwhile.
int RunProgram(char* commandLine, const char* caption);

// Opens the document at path with the program associated with it, maximised, and shows what
// went wrong when that failed. The mouse cursor is left as the wait cursor.
void ViewDocument(const char* path);

// Shows the text for result under the caption "ERROR viewing <path>" when result, a result
// of the document opening, is below 32; shows nothing for 32 and above.
void ShowViewError(const char* path, uintptr_t result);
