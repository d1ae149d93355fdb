// setup_dialog_fixture.h - a fresh setup dialog from template 101 for each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "app/install_state.h"
#include "res/resource.h"
#include "tests/ui/screen_pixels.h"
#include "ui/setup_dialog.h"

class SetupDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&installState, 0, sizeof installState);
        // As start-up decides: the 16-colour background on screens of 8 bits per pixel.
        HDC screen = GetDC(nullptr);
        installState.highColour = GetDeviceCaps(screen, BITSPIXEL) > 8;
        ReleaseDC(nullptr, screen);
        dialog = std::make_unique<SetupDialog>(IDD_SETUP);
        ASSERT_NE(dialog->hwnd, nullptr);
        PumpMessages();
    }
    void TearDown() override {
        dialog.reset();
        PumpMessages();
    }

    HWND Item(int id) const { return GetDlgItem(dialog->hwnd, id); }
    // A control's window rectangle in the dialog's client coordinates.
    RECT ItemRect(int id) const {
        RECT rect;
        GetWindowRect(Item(id), &rect);
        MapWindowPoints(nullptr, dialog->hwnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The background bitmap that the dialog tiles, as the screen shows it.
    static Pixels Tile() {
        return BitmapResourcePixels(installState.highColour ? IDB_BACKGROUND : IDB_BACKGROUND_16);
    }
    // True if a captured pixel, in client coordinates, is the background tile's.
    static bool IsTile(const Pixels& shown, const Pixels& tile, int x, int y) {
        return shown.At(x, y) == tile.At(x % tile.width, y % tile.height);
    }

    std::unique_ptr<SetupDialog> dialog;
};
