// test_bitmap_dialog.cpp - centering by mode, the plain background without a bitmap, and the
// transparent control colours with one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "res/resource.h"
#include "tests/support/window_rect.h"
#include "tests/ui/screen_pixels.h"
#include "ui/bitmap_dialog.h"

namespace {

class TestDialog : public BitmapDialog {
  public:
    TestDialog(uint32_t templateId, uint32_t bitmapId, CWnd* parent, int8_t mode)
        : BitmapDialog(templateId, bitmapId, parent, mode, 0, false) {
        Create(templateId, parent);
    }
};

// Resizes the dialog, centres it again and returns its new top-left corner.
POINT CentreAtSize(TestDialog& dialog, int width, int height) {
    SetWindowPos(dialog.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    dialog.CenterDialog();
    RECT rect = WindowRect(dialog.hwnd);
    EXPECT_EQ(rect.right - rect.left, width) << "the size stays";
    return POINT{rect.left, rect.top};
}

class CenteringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RECT desktop = WindowRect(GetDesktopWindow());
        if (desktop.right - desktop.left != 1024 || desktop.bottom - desktop.top != 768)
            GTEST_SKIP() << "needs the 1024 x 768 screen of scripts/wine-run";
    }
};

} // namespace

TEST_F(CenteringTest, ModeOneCentresOnTheDesktop) {
    TestDialog dialog(IDD_HELP_GENERAL, 0, nullptr, kCenterBoth);
    POINT at = CentreAtSize(dialog, 400, 300);
    EXPECT_EQ(at.x, 312);
    EXPECT_EQ(at.y, 234);
}

TEST_F(CenteringTest, ModeTwoMakesTheBottomMarginEqualTheSides) {
    TestDialog dialog(IDD_HELP_GENERAL, 0, nullptr, kCenterAboveBottom);
    POINT at = CentreAtSize(dialog, 400, 300);
    EXPECT_EQ(at.x, 312);
    EXPECT_EQ(at.y, 156);
    EXPECT_EQ(768 - (at.y + 300), 312);
}

TEST_F(CenteringTest, ModeZeroKeepsTheTemplatePosition) {
    TestDialog dialog(IDD_HELP_GENERAL, 0, nullptr, kCenterNone);
    SetWindowPos(dialog.hwnd, nullptr, 17, 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.CenterDialog();
    RECT rect = WindowRect(dialog.hwnd);
    EXPECT_EQ(rect.left, 17);
    EXPECT_EQ(rect.top, 23);
}

TEST_F(CenteringTest, OddDifferencesTruncateTowardZero) {
    TestDialog dialog(IDD_HELP_GENERAL, 0, nullptr, kCenterBoth);
    EXPECT_EQ(CentreAtSize(dialog, 1019, 300).x, 2);
    EXPECT_EQ(CentreAtSize(dialog, 1029, 300).x, -2) << "5 wider than the desktop";
    EXPECT_EQ(CentreAtSize(dialog, 400, 773).y, -2);
}

// Centred on the parent: a pop-up in screen coordinates from the parent's corner, a child
// window in its parent's own coordinates from (0, 0).
TEST_F(CenteringTest, RelativeToTheParent) {
    TestDialog parent(IDD_HELP_GENERAL, 0, nullptr, kCenterNone);
    SetWindowPos(parent.hwnd, nullptr, 100, 50, 500, 400, SWP_NOZORDER);
    TestDialog popup(IDD_HELP_ABORT, 0, &parent, kCenterBoth);
    POINT at = CentreAtSize(popup, 200, 100);
    EXPECT_EQ(at.x, 100 + 150);
    EXPECT_EQ(at.y, 50 + 150);

    TestDialog child(IDD_HELP_ABORT, 0, &parent, kCenterBoth);
    SetWindowLongA(child.hwnd, GWL_STYLE,
                   (GetWindowLongA(child.hwnd, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    SetParent(child.hwnd, parent.hwnd);
    SetWindowPos(child.hwnd, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    child.CenterDialog();
    RECT rect = WindowRect(child.hwnd);
    MapWindowPoints(nullptr, parent.hwnd, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 150);
    EXPECT_EQ(rect.top, 150);
}

// With bitmap id 0 the dialog erases and colours its controls like a plain dialog.
TEST(PlainBitmapDialog, DefaultBackgroundAndColoursWithoutBitmap) {
    TestDialog dialog(IDD_SETUP, 0, nullptr, kCenterBoth);
    PumpMessages();
    RECT client;
    GetClientRect(dialog.hwnd, &client);
    RECT corner{client.right - 8, client.bottom - 3, client.right, client.bottom};
    Pixels shown = CaptureClient(dialog.hwnd, corner);
    for (COLORREF c : shown.values)
        ASSERT_EQ(c, GetSysColor(COLOR_3DFACE));
    HDC dc = GetDC(dialog.hwnd);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog.hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd, IDC_STATUS))));
    EXPECT_NE(brush, static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(dialog.hwnd, dc);
}

TEST(PlainBitmapDialog, StaticControlsAreTransparentOverTheBitmap) {
    TestDialog dialog(IDD_SETUP, IDB_BACKGROUND, nullptr, kCenterBoth);
    PumpMessages();
    HDC dc = GetDC(dialog.hwnd);
    SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog.hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd, IDC_STATUS))));
    EXPECT_EQ(brush, static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    // An edit field that can be typed into keeps its own colours.
    SetBkMode(dc, OPAQUE);
    auto editBrush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog.hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd, IDC_DIRECTORY))));
    EXPECT_NE(editBrush, static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(dialog.hwnd, dc);
}

// The user may close the dialog while a warning box is up; the focus request that follows
// the box then finds no control and must leave the pointer where it is.
TEST(FocusControl, AGoneDialogLeavesThePointerAlone) {
    TestDialog dialog(IDD_SETUP, 0, nullptr, kCenterBoth);
    ASSERT_TRUE(DestroyWindow(dialog.hwnd));
    ASSERT_TRUE(SetCursorPos(101, 117));
    BitmapDialog::FocusControl(&dialog, IDCANCEL, true, true);
    POINT at{};
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 101);
    EXPECT_EQ(at.y, 117);
}
