// window_text.h - what a window shows: its text and its class, read from any process.
#pragma once

#include <windows.h>

#include <string>

// The window's text (a title, a control's label), up to 1023 characters.
std::string WindowText(HWND window);
// The name of the window's class ("#32770" for a dialog box, "Button", "Static").
std::string ClassName(HWND window);
