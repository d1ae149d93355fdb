// test_progress_meter.cpp - the meter's pixels on the setup dialog: fill, colours, label and
// frame, painted before SetProgress returns.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/ui/setup_dialog_fixture.h"

// The Install command is not used here.
void RunInstall(const char*, int) {}

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

// The label may be drawn smoothed: each of its pixels lies, channel by channel, between the
// colour under it and the label's colour.
bool IsBlend(COLORREF c, COLORREF under, COLORREF label) {
    auto between = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
    return between(GetRValue(c), GetRValue(under), GetRValue(label)) &&
           between(GetGValue(c), GetGValue(under), GetGValue(label)) &&
           between(GetBValue(c), GetBValue(under), GetBValue(label));
}

class ProgressMeterTest : public SetupDialogTest {
  protected:
    void SetUp() override {
        SetupDialogTest::SetUp();
        // The placeholder measured independently of the meter: w and h are its width and
        // height minus 1.
        RECT placeholder = ItemRect(IDC_METER);
        x = placeholder.left;
        y = placeholder.top;
        w = placeholder.right - placeholder.left - 1;
        h = placeholder.bottom - placeholder.top - 1;
    }

    // Everything from one pixel left and above the placeholder to one right and below.
    Pixels Capture() const {
        return CaptureClient(dialog->hwnd, RECT{x - 1, y - 1, x + w + 2, y + h + 2});
    }

    // The label's cell on the owner: the placement rule with the system font's metrics.
    RECT LabelCell(int percent) const {
        HDC screen = GetDC(dialog->hwnd);
        HDC memory = CreateCompatibleDC(screen);
        TEXTMETRICA metrics{};
        GetTextMetricsA(memory, &metrics);
        char label[16];
        int length = std::snprintf(label, sizeof label, "%d%%", percent);
        SIZE extent{};
        GetTextExtentPoint32A(memory, label, length, &extent);
        DeleteDC(memory);
        ReleaseDC(dialog->hwnd, screen);
        int left = x + 1 + w / 2 - (metrics.tmAveCharWidth * length) / 2;
        int top = y + 1 + h / 2 - metrics.tmHeight / 2 - 1;
        return RECT{left, top, left + extent.cx, top + metrics.tmHeight};
    }

    // Checks the whole meter at one percent: bar and grey split at the fill column, label
    // pixels only inside the label's cell and only in the expected colour, the frame, and
    // the untouched corner.
    void ExpectMeter(int percent, COLORREF labelColour) {
        SCOPED_TRACE("percent " + std::to_string(percent));
        Pixels before = Capture();
        dialog->SetProgress(percent);
        // No message is handled between: SetProgress painted synchronously.
        Pixels p = Capture();
        int fill = (w - 1) * percent / 100;
        RECT cell = LabelCell(percent);
        int labelPixels = 0, fullLabelPixels = 0, barPixels = 0, greyPixels = 0;
        for (int row = y + 1; row <= y + h - 1; ++row) {
            for (int column = x + 1; column <= x + w - 1; ++column) {
                COLORREF c = p.At(column, row);
                bool inBar = column <= x + fill;
                COLORREF background = inBar ? kRed : kGrey;
                if (c == background) {
                    (inBar ? barPixels : greyPixels)++;
                    continue;
                }
                ++labelPixels;
                fullLabelPixels += c == labelColour;
                POINT at{column, row};
                EXPECT_TRUE(PtInRect(&cell, at)) << "stray pixel at " << column << "," << row;
                EXPECT_TRUE(IsBlend(c, background, labelColour))
                    << "colour " << std::hex << c << " at " << std::dec << column << "," << row;
                if (!IsBlend(c, background, labelColour) || !PtInRect(&cell, at))
                    return;
            }
        }
        EXPECT_GT(labelPixels, 10) << "the label is drawn";
        EXPECT_GT(fullLabelPixels, 0) << "in its own colour";
        EXPECT_EQ(barPixels > 0, fill > 0);
        EXPECT_EQ(greyPixels > 0, fill < w - 1);
        for (int column = x; column <= x + w - 1; ++column)
            ASSERT_EQ(p.At(column, y), kBlack) << "top row at " << column;
        for (int row = y; row <= y + h - 1; ++row)
            ASSERT_EQ(p.At(x, row), kBlack) << "left column at " << row;
        for (int row = y; row <= y + h; ++row)
            ASSERT_EQ(p.At(x + w, row), kWhite) << "right column at " << row;
        for (int column = x + 1; column <= x + w; ++column)
            ASSERT_EQ(p.At(column, y + h), kWhite) << "bottom row at " << column;
        EXPECT_EQ(p.At(x, y + h), before.At(x, y + h)) << "the corner is never drawn";
        EXPECT_TRUE(IsTile(p, Tile(), x, y + h)) << "it shows the background";
        EXPECT_EQ(dialog->Meter()->Percent(), percent);
    }

    int x = 0, y = 0, w = 0, h = 0;
};

} // namespace

TEST_F(ProgressMeterTest, ShowsZeroFromTheFirstPaint) {
    Pixels p = Capture();
    for (int row = y + 1; row <= y + h - 1; ++row)
        EXPECT_NE(p.At(x + 1, row), kRed);
    ExpectMeter(0, kBlack);
}

// Black up to 50, the text colour from 51; full at 100.
TEST_F(ProgressMeterTest, EveryStepOnTheWayUp) {
    for (int percent : {1, 7, 33, 49, 50, 51, 66, 99, 100, 0})
        ExpectMeter(percent, percent <= 50 ? kBlack : kYellow);
}

TEST_F(ProgressMeterTest, FillColumnFollowsTheFormula) {
    dialog->SetProgress(42);
    Pixels p = Capture();
    int fill = (w - 1) * 42 / 100;
    // Rows the label leaves free, at the split: the last bar column and the first grey one.
    int checked = 0;
    for (int row = y + 1; row <= y + h - 1; ++row) {
        COLORREF last = p.At(x + fill, row);
        COLORREF first = p.At(x + fill + 1, row);
        if (last == kRed && first == kGrey)
            ++checked;
        else
            EXPECT_TRUE(last == kBlack || first == kBlack) << "row " << row;
    }
    EXPECT_GT(checked, 0);
}

namespace {

int erases;
HWND watched;

// Counts the background erases that reach the watched window.
LRESULT CALLBACK CountErases(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == watched && message->message == WM_ERASEBKGND)
        ++erases;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// SetPercent marks only the meter and never has the background under it erased.
TEST_F(ProgressMeterTest, RepaintsWithoutErasing) {
    erases = 0;
    watched = dialog->hwnd;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountErases, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    dialog->SetProgress(10);
    dialog->SetProgress(60);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(erases, 0);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(dialog->hwnd, &update, FALSE)) << "nothing left to paint";
}

// A repaint of nothing but the meter's right frame column (outside what SetPercent marks)
// still draws it: the meter skips only paints that cannot reach it.
TEST_F(ProgressMeterTest, RepaintOfTheFrameAloneDrawsIt) {
    dialog->SetProgress(30);
    HDC dc = GetDC(dialog->hwnd);
    RECT column{x + w, y, x + w + 1, y + h + 1};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &column, green);
    DeleteObject(green);
    ReleaseDC(dialog->hwnd, dc);
    InvalidateRect(dialog->hwnd, &column, FALSE);
    UpdateWindow(dialog->hwnd);
    Pixels p = Capture();
    for (int row = y; row <= y + h; ++row)
        ASSERT_EQ(p.At(x + w, row), kWhite) << "right column at " << row;
}

// Not a check: with LXV_UI_SHOTS naming a directory, saves the meter at 0, 50, 51 and 100
// percent, enlarged fourfold, for a person to look at.
TEST_F(ProgressMeterTest, SaveScreenshotsWhenAsked) {
    const char* directory = std::getenv("LXV_UI_SHOTS");
    if (directory == nullptr)
        GTEST_SKIP() << "LXV_UI_SHOTS is not set";
    for (int percent : {0, 50, 51, 100}) {
        dialog->SetProgress(percent);
        Pixels p = Capture();
        Pixels large(0, 0, p.width * 4, p.height * 4);
        for (int row = 0; row < large.height; ++row)
            for (int column = 0; column < large.width; ++column)
                large.values[row * large.width + column] = p.values[row / 4 * p.width + column / 4];
        std::string name = std::string(directory) + "/meter-" + std::to_string(percent) + ".bmp";
        EXPECT_TRUE(large.SaveBmp(name));
    }
}
