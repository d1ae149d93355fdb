// progress_meter.cpp - measuring the placeholder and drawing the bar, label and frame.
#include "ui/progress_meter.h"

#include <cstdio>

#include "framework/gdi.h"

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(192, 192, 192); // the part not yet filled
} // namespace

ProgressMeter::ProgressMeter(int32_t controlId, CDialog* owner, COLORREF barColour,
                             COLORREF textColour)
    : percent(0), owner(owner), barColour(barColour), textColour(textColour) {
    RECT placeholder{};
    ::GetWindowRect(owner->GetDlgItem(controlId), &placeholder);
    POINT topLeft{placeholder.left, placeholder.top};
    POINT bottomRight{placeholder.right, placeholder.bottom};
    owner->ScreenToClient(&topLeft);
    owner->ScreenToClient(&bottomRight);
    x = topLeft.x;
    y = topLeft.y;
    w = (bottomRight.x - topLeft.x) - 1;
    h = (bottomRight.y - topLeft.y) - 1;
    rectangle = RECT{x, y, x + w, y + h};
}

void ProgressMeter::SetPercent(int32_t value) {
    // The picture depends on nothing but the percent, so an unchanged value needs no new
    // pixels and no repaint at all. Extraction reports every chunk it reads, thousands of
    // times per install, while the percent moves at most a hundred times; under Wine even
    // an UpdateWindow with nothing to paint is a round trip to the server.
    if (value == percent)
        return;
    percent = value;
    // Never erase: the repaint draws the meter only, over the same tiles.
    owner->InvalidateRect(&rectangle, false);
    owner->UpdateWindow();
}

void ProgressMeter::Paint() {
    CPaintDC dc(owner);
    // Every status line shown repaints the dialog, and so comes here, with only the status
    // line's area to paint. Composing the meter would then only be clipped away, so the
    // cycle ends at once when nothing of the meter, frame included, is to be painted.
    if (!dc.RectVisible(RECT{x, y, x + w + 1, y + h + 1}))
        return;
    CPen blackPen(PS_SOLID, 1, kBlack);
    CPen whitePen(PS_SOLID, 1, kWhite);
    CBrush barBrush(barColour);
    CBrush greyBrush(kLightGrey);
    // 64-bit product: a percent far outside 0 to 100 must not overflow.
    int32_t fill = static_cast<int32_t>(static_cast<int64_t>(w - 1) * percent / 100);

    // The interior is composed off screen and copied in one operation, so it never flickers.
    // No font is selected into the surface: the label is in the system font.
    CDC surface;
    surface.CreateCompatibleDC(dc);
    CBitmap surfaceBitmap;
    surfaceBitmap.CreateDIBSection(dc, w, h);
    ScopedSelect picture(surface, surfaceBitmap);
    surface.SetBkMode(TRANSPARENT);
    TEXTMETRICA metrics{};
    surface.GetTextMetrics(&metrics);
    char label[16];
    int length = std::snprintf(label, sizeof label, "%d%%", static_cast<int>(percent));

    // Rectangles exclude their right and bottom edges: columns 0 to w - 2 and rows 0 to h - 2
    // are covered, and a fill of 0 leaves no bar.
    surface.FillRect(RECT{0, 0, fill, h - 1}, barBrush);
    surface.FillRect(RECT{fill, 0, w - 1, h - 1}, greyBrush);
    surface.SetTextColor(percent <= 50 ? kBlack : textColour);
    surface.TextOut(w / 2 - (metrics.tmAveCharWidth * length) / 2, h / 2 - metrics.tmHeight / 2 - 1,
                    label, length);
    dc.BitBlt(x + 1, y + 1, w - 1, h - 1, surface, 0, 0, SRCCOPY);

    // The sunken frame. A line leaves out its end point: the top row x .. x + w - 1 and the
    // left column y .. y + h - 1 end black, the right column y .. y + h and the bottom row
    // x + 1 .. x + w end white, and the corner (x, y + h) is not drawn.
    ScopedSelect pen(dc, blackPen);
    dc.MoveTo(x + w, y);
    dc.LineTo(x, y);
    dc.LineTo(x, y + h);
    dc.SelectObject(whitePen);
    dc.MoveTo(x + w, y);
    dc.LineTo(x + w, y + h);
    dc.LineTo(x, y + h);
    // Leaving the scope selects the owner's pen and the surface's bitmap back, then releases
    // the surface, the brushes and the pens, and ends the paint cycle: reverse order.
}
