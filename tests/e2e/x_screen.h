// x_screen.h - the screen as the X server holds it, and input through the X server: what a
// user sees and does, outside Wine's own idea of the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// A picture of the whole X screen, rows top first, three bytes (R, G, B) a pixel.
struct XScreenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    explicit operator bool() const { return width > 0 && height > 0; }
    // The pixel at a screen point, as 0x00BBGGRR; 0xFFFFFFFF off the picture.
    COLORREF At(int x, int y) const;
    // The number of pixels in `area` that differ from `other`'s.
    long CountDifferences(const XScreenshot& other, const RECT& area) const;
};

// Reads the root window of the X server in one request, as the frame buffer shows it, and
// keeps a copy as `name`.png in the build's screenshot directory. `xwd -root` is no help
// here: it rebuilds the picture window by window, and where a Wine pop-up lies over a
// window of the same colormap it reads the pop-up's pixels through the window below, which
// the server blacks out as covered.
XScreenshot TakeXScreenshot(const std::string& name);

// Runs `xdotool ARGUMENTS` on the host, on the X server the program shows its windows on,
// and waits for it to finish. The pointer moves and the buttons click as a user's would.
bool XInput(const std::string& arguments);

} // namespace e2e
