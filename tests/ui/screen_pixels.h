// screen_pixels.h - reading back what a window shows, pixel by pixel.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A rectangle of pixels as 0x00BBGGRR colour values, rows top first.
class Pixels {
  public:
    Pixels(int left, int top, int width, int height)
        : left(left), top(top), width(width), height(height),
          values(static_cast<size_t>(width) * height) {}

    // The pixel at (x, y) in the coordinates the capture was taken in.
    COLORREF At(int x, int y) const { return values[(y - top) * width + (x - left)]; }
    bool Contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
    // Writes a 24-bit BMP file, for looking at a capture.
    bool SaveBmp(const std::string& path) const;

    int left, top, width, height;
    std::vector<COLORREF> values;
};

// What the window's client area shows in the given rectangle (client coordinates).
Pixels CaptureClient(HWND window, const RECT& area);
// What the screen shows in the given rectangle (screen coordinates).
Pixels CaptureScreen(const RECT& area);
// The pixels of a bitmap resource of this program, as the screen shows them.
Pixels BitmapResourcePixels(UINT id);

// True if the whole text of a static text control fits its client area, wrapped at word
// breaks as the control wraps it; `needed` receives the size the text takes.
bool TextFits(HWND control, SIZE* needed);

// Handles every message that is waiting, for every window of this thread.
void PumpMessages();
