// progress_meter.h - ProgressMeter, the percentage bar drawn over a hidden placeholder
// control of its owner dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/dialog.h"

// Not a window of its own: it borrows the placeholder's rectangle and draws on the owner's
// surface inside the owner's paint cycle, so the owner routes WM_PAINT to Paint().
class ProgressMeter {
  public:
    // Measures the placeholder once; later moves of the control are not followed.
    ProgressMeter(int32_t controlId, CDialog* owner, COLORREF barColour, COLORREF textColour);

    // Stores the value (0 to 100, not clamped) and repaints before returning; the same value
    // again repaints nothing.
    void SetPercent(int32_t percent);
    // The owner's whole paint cycle: begins it, draws the meter and ends it.
    void Paint();

    int32_t Percent() const { return percent; }

  private:
    RECT rectangle; // (x, y, x + w, y + h): what SetPercent marks for repainting
    int32_t percent;
    int32_t x, y; // the placeholder's top-left corner in the owner's client coordinates
    int32_t w, h; // its width and height minus 1: x + w and y + h are its last column and row
    CDialog* owner;
    COLORREF barColour;
    COLORREF textColour; // of the label above 50 percent; black up to 50
};
