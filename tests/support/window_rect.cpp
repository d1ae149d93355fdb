// window_rect.cpp - the window's rectangle as the window manager reports it.
#include "tests/support/window_rect.h"

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}
