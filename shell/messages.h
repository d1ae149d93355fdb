// messages.h - the warning box, and the system's own text for the last error.
#pragma once

#include <windows.h>

#include <initializer_list>

// One modal box with the warning icon and an OK button. Every caller passes no owner, so the
// box is not owned by the setup dialog. Returns the button pressed.
int ShowWarning(const char* text, const char* caption, HWND owner);

// Shows the system's text for the calling thread's last error in a warning box under caption.
// The inserts %1, %2 ... of that text are replaced by the given strings in order; an insert
// beyond those given becomes the empty string. When the system has no text for the code, the
// box names the code instead.
void ShowSystemError(const char* caption, std::initializer_list<const char*> inserts = {});
