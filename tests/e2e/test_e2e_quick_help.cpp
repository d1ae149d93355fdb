// test_e2e_quick_help.cpp - QuickHelp in the shipped program, as a user meets it: clicks
// through the X server, and the panel judged on the pixels the X server shows, with what
// the program's start-up registered (the panel bitmap 111 and the panel templates).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/x_screen.h"

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

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
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

    // The panel's inside (within its one-pixel border) must show its text on the tiled
    // bitmap: most pixels are the tile's, and the text's dark strokes are there too.
    void ExpectTextOnTiles(const XScreenshot& shot, const RECT& panel) {
        std::vector<COLORREF> tile = PanelTile();
        ASSERT_EQ(tile.size(), 32u * 32u) << "bitmap 111 of the shipped program";
        long pixels = 0, onTile = 0, strokes = 0;
        for (int y = panel.top + 1; y < panel.bottom - 1; ++y) {
            for (int x = panel.left + 1; x < panel.right - 1; ++x) {
                COLORREF seen = shot.At(x, y);
                COLORREF expected =
                    tile[((y - panel.top - 1) % 32) * 32 + (x - panel.left - 1) % 32];
                ++pixels;
                if (seen == expected)
                    ++onTile;
                else if (GetRValue(seen) < 64 && GetGValue(seen) < 64 && GetBValue(seen) < 64)
                    ++strokes;
            }
        }
        EXPECT_GT(onTile * 10, pixels * 6) << onTile << " of " << pixels << " pixels on the tiles";
        EXPECT_GT(strokes, 150) << "dark text pixels";
        EXPECT_EQ(onTile + strokes, pixels) << "nothing but tiles and text";
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
        RECT rect = WindowRect(panel);
        XScreenshot open = TakeXScreenshot("quick_help_" + std::to_string(item.control));
        ASSERT_TRUE(open);
        ExpectTextOnTiles(open, rect);

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
