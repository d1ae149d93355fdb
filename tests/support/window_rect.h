// window_rect.h - where a window stands on the screen.
#pragma once

#include <windows.h>

// The window's rectangle in screen coordinates, its frame included; empty if there is none.
RECT WindowRect(HWND window);
