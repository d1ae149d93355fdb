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
        installState.highColour = 1;
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

    std::unique_ptr<SetupDialog> dialog;
};
