// test_e2e_quick_help.cpp - QuickHelp in the shipped program, as a user meets it: clicks
// through the X server, and the panel judged on the pixels the X server shows, with what
// the program's start-up registered (the panel bitmap 111 and the panel templates).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/x_screen.h"
#include "tests/support/window_rect.h"

namespace e2e {
namespace {

constexpr int kDirectoryLabel = 105;
constexpr int kPanelBitmap = 111;

struct PanelSearch {
    DWORD processId;
    HWND dialog;
    HWND found;
};

BOOL CALLBACK NotePanel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<PanelSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (process == search->processId && window != search->dialog && IsWindowVisible(window) &&
        std::string(name) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The QuickHelp panel that the setup program shows; null if none.
HWND OpenPanel(const SetupDriver& setup) {
    PanelSearch search{setup.ProcessId(), setup.Dialog(), nullptr};
    EnumWindows(NotePanel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The panel bitmap as the shipped program carries it, 0x00BBGGRR a pixel, rows top first.
std::vector<COLORREF> PanelTile() {
    std::vector<COLORREF> tile;
    HMODULE setup = LoadLibraryExA(BuiltSetupFile().string().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HBITMAP bitmap =
        setup != nullptr ? LoadBitmapA(setup, MAKEINTRESOURCEA(kPanelBitmap)) : nullptr;
    BITMAP info{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) == sizeof info &&
        info.bmWidth == 32 && info.bmHeight == 32) {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = 32;
        format.bmiHeader.biHeight = -32;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        std::vector<RGBQUAD> pixels(32 * 32);
        HDC screen = GetDC(nullptr);
        if (GetDIBits(screen, bitmap, 0, 32, pixels.data(), &format, DIB_RGB_COLORS) == 32)
            for (const RGBQUAD& p : pixels)
                tile.push_back(RGB(p.rgbRed, p.rgbGreen, p.rgbBlue));
        ReleaseDC(nullptr, screen);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (setup != nullptr)
        FreeLibrary(setup);
    return tile;
}

// How a rectangle of the X screen matches a panel: its inside (within the one-pixel border)
// against the tiled bitmap, and the dark strokes of text where it differs.
struct PanelPixels {
    long pixels = 0;
    long onTile = 0;
    long strokes = 0;
    // Text on the tiles: mostly tiles, some text, nothing else.
    bool TextOnTiles() const {
        return onTile * 10 > pixels * 6 && strokes > 150 && onTile + strokes == pixels;
    }
};

PanelPixels Examine(const XScreenshot& shot, const RECT& panel, const std::vector<COLORREF>& tile) {
    PanelPixels seen;
    for (int y = panel.top + 1; y < panel.bottom - 1; ++y) {
        for (int x = panel.left + 1; x < panel.right - 1; ++x) {
            COLORREF pixel = shot.At(x, y);
            ++seen.pixels;
            if (pixel == tile[((y - panel.top - 1) % 32) * 32 + (x - panel.left - 1) % 32])
                ++seen.onTile;
            else if (GetRValue(pixel) < 64 && GetGValue(pixel) < 64 && GetBValue(pixel) < 64)
                ++seen.strokes;
        }
    }
    return seen;
}

class QuickHelpOnScreen : public SetupTest {
  protected:
    // Right-clicks the centre of a dialog item with the real pointer; the panel that opens.
    HWND RightClickOn(SetupDriver& setup, int controlId) {
        RECT item = WindowRect(GetDlgItem(setup.Dialog(), controlId));
        at = POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        if (!XInput("mousemove --sync " + std::to_string(at.x) + " " + std::to_string(at.y) +
                    " click 3"))
            return nullptr;
        HWND panel = nullptr;
        PollUntil([&] { return (panel = OpenPanel(setup)) != nullptr; });
        return panel;
    }

    // Waits for the X screen to show the panel's text on its tiles, at one of the places
    // where the pointer lies just inside a corner. Wine's own record of where the panel is
    // can lag behind a window manager's, so the place is looked for on the screen itself.
    PanelPixels WaitForPanelOnScreen(HWND panel, const std::string& shotName) {
        std::vector<COLORREF> tile = PanelTile();
        EXPECT_EQ(tile.size(), 32u * 32u) << "bitmap 111 of the shipped program";
        RECT rect = WindowRect(panel);
        LONG pw = rect.right - rect.left, ph = rect.bottom - rect.top;
        PanelPixels best;
        if (tile.size() != 32u * 32u)
            return best;
        PollUntil(
            [&] {
                XScreenshot shot = TakeXScreenshot(shotName);
                for (LONG left : {at.x - 1, std::max(at.x - pw, 0L) + 2})
                    for (LONG top : {at.y - 1, std::max(at.y - ph, 0L) + 2}) {
                        PanelPixels seen =
                            Examine(shot, RECT{left, top, left + pw, top + ph}, tile);
                        if (seen.onTile > best.onTile)
                            best = seen;
                    }
                return best.TextOnTiles();
            },
            10000);
        return best;
    }

    POINT at{};
};

TEST_F(QuickHelpOnScreen, RightClickShowsTheTextOnTheTilesAndLeftClickRestoresTheDialog) {
    const struct {
        int control;
        const char* text;
    } items[] = {
        {kInstallButton,
         "Click on this button to install the software into the directory shown above."},
        {kDirectoryLabel,
         "In this space, enter the drive and directory (path) where the software should be "
         "installed. If the directory does not exist, it will be created automatically."},
    };
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    RECT dialog = WindowRect(setup.Dialog());
    XScreenshot before = TakeXScreenshot("quick_help_before");
    ASSERT_TRUE(before);

    for (const auto& item : items) {
        SCOPED_TRACE(item.control);
        HWND panel = RightClickOn(setup, item.control);
        ASSERT_NE(panel, nullptr) << "a panel opens";
        char text[512] = {};
        GetWindowTextA(GetWindow(panel, GW_CHILD), text, sizeof text);
        EXPECT_STREQ(text, item.text);
        PanelPixels seen =
            WaitForPanelOnScreen(panel, "quick_help_" + std::to_string(item.control));
        EXPECT_TRUE(seen.TextOnTiles())
            << seen.onTile << " of " << seen.pixels << " pixels on the tiles, " << seen.strokes
            << " of dark text";

        // A left click closes it, and the X screen shows the dialog as before. Without a
        // window manager Wine takes a moment to take the panel off the screen.
        ASSERT_TRUE(XInput("click 1"));
        EXPECT_TRUE(PollUntil([&] { return !IsWindow(panel); }));
        long differences = -1;
        PollUntil([&] {
            XScreenshot after = TakeXScreenshot("quick_help_closed");
            differences = after ? after.CountDifferences(before, dialog) : -1;
            return differences == 0;
        });
        EXPECT_EQ(differences, 0) << "pixels of the dialog that changed";
    }
    setup.Press(kAbortButton);
    EXPECT_EQ(setup.WaitForExit(), 0);
}

} // namespace
} // namespace e2e
