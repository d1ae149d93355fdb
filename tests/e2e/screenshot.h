// screenshot.h - pictures of the screen as the user sees it, kept under the build tree.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Has the window and its children paint themselves now, so that a picture shows them.
void RepaintNow(HWND window);
// Writes the whole screen as a 24-bit BMP file named `name`.bmp into the build's
// screenshot directory (made if needed); converted to PNG on the host after the tests.
bool SaveScreenshot(const std::string& name);

} // namespace e2e
