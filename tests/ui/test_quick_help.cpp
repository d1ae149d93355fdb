// test_quick_help.cpp - QuickHelp on the setup dialog: which panel opens where, switching and
// closing by the mouse, and the focus given back.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/ui/setup_dialog_fixture.h"
#include "ui/quick_help.h"
#include "ui/quick_help_panel.h"
#include "ui/quick_help_state.h"

// The Install command is not used here.
void RunInstall(const char*, int) {}

namespace {

class QuickHelpTest : public SetupDialogTest {
  protected:
    void SetUp() override {
        SetupDialogTest::SetUp();
        cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_DOT_CURSOR));
        RegisterQuickHelp(IDB_PANEL, cursor, IDD_HELP_GENERAL);
    }
    void TearDown() override {
        CloseQuickHelp();
        SetupDialogTest::TearDown();
    }

    HWND Panel() const {
        return quickHelpState.openPanel != nullptr ? quickHelpState.openPanel->hwnd : nullptr;
    }
    // The first text of the open panel, which tells the templates apart.
    std::string PanelText() const {
        char buffer[512] = {};
        GetWindowTextA(GetWindow(Panel(), GW_CHILD), buffer, sizeof buffer);
        return buffer;
    }
    POINT CentreOf(int id) const {
        RECT rect;
        GetWindowRect(Item(id), &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    void RightClick(POINT at) { ShowQuickHelp(dialog.get(), at.x, at.y, Table()); }
    QuickHelpEntry* Table() const { return const_cast<QuickHelpEntry*>(dialog->QuickHelpTable()); }

    HCURSOR cursor = nullptr;
};

const char kInstallHelp[] =
    "Click on this button to install the software into the directory shown above.";
const char kAbortHelp[] = "Click on this button to abort installation.";
const char kExitHelp[] =
    "Click on this button to exit installation and start the Lexivane program.";
const char kGeneralHelpStart[] = "Clicking the right mouse button on any dialog item";

} // namespace

TEST_F(QuickHelpTest, InstallButtonPanelOpensAtThePointer) {
    POINT at = CentreOf(IDOK);
    // The context request as the platform sends it.
    SendMessageA(dialog->hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Item(IDOK)),
                 MAKELPARAM(at.x, at.y));
    ASSERT_NE(Panel(), nullptr);
    EXPECT_EQ(PanelText(), kInstallHelp);
    EXPECT_TRUE(IsWindowVisible(Panel()));
    RECT rect;
    GetWindowRect(Panel(), &rect);
    EXPECT_EQ(rect.left, at.x - 1);
    // The button sits so low that the panel would reach the dialog's bottom edge: it flips
    // above the pointer.
    EXPECT_EQ(rect.top, std::max(at.y - (rect.bottom - rect.top), 0L) + 2);
    EXPECT_EQ(GetCapture(), Panel()) << "every mouse click goes to the panel";
    EXPECT_EQ(GetCursor(), cursor);

    // Higher up, the directory label's panel has its corner just above-left of the pointer.
    at = CentreOf(IDC_DIRECTORY_LABEL);
    RightClick(at);
    GetWindowRect(Panel(), &rect);
    EXPECT_EQ(rect.left, at.x - 1);
    EXPECT_EQ(rect.top, at.y - 1);
}

TEST_F(QuickHelpTest, PanelsNearTheEdgesFlipToTheOtherSide) {
    RECT bounds;
    GetWindowRect(dialog->hwnd, &bounds);
    // On the Abort button's lower right, close to the dialog's right and bottom edges.
    RECT abort;
    GetWindowRect(Item(IDCANCEL), &abort);
    POINT at{abort.right - 2, abort.bottom - 2};
    RightClick(at);
    ASSERT_NE(Panel(), nullptr);
    RECT rect;
    GetWindowRect(Panel(), &rect);
    int pw = rect.right - rect.left;
    int ph = rect.bottom - rect.top;
    ASSERT_GE(at.x + pw, bounds.right);
    ASSERT_GE(at.y + ph, bounds.bottom);
    EXPECT_EQ(rect.left, std::max(at.x - pw, 0L) + 2);
    EXPECT_EQ(rect.top, std::max(at.y - ph, 0L) + 2);
}

TEST_F(QuickHelpTest, ItemsWithoutRowsGetTheGeneralPanelOnlyWhenNoneIsOpen) {
    RightClick(CentreOf(IDC_DEVELOPER));
    ASSERT_NE(Panel(), nullptr);
    EXPECT_EQ(PanelText().rfind(kGeneralHelpStart, 0), 0u) << PanelText();
    RightClick(CentreOf(IDOK));
    EXPECT_EQ(PanelText(), kInstallHelp);
    // In QuickHelp mode the check box only closes the open panel.
    RightClick(CentreOf(IDC_DEVELOPER));
    EXPECT_EQ(Panel(), nullptr);
    // The hidden meter placeholder and the bare background take the general path too.
    RightClick(CentreOf(IDC_METER));
    ASSERT_NE(Panel(), nullptr);
    EXPECT_EQ(PanelText().rfind(kGeneralHelpStart, 0), 0u);
}

TEST_F(QuickHelpTest, RightClicksSwitchPanelsAndFollowTheExitLabel) {
    RightClick(CentreOf(IDOK));
    EXPECT_EQ(PanelText(), kInstallHelp);
    RightClick(CentreOf(IDCANCEL));
    EXPECT_EQ(PanelText(), kAbortHelp);
    CloseQuickHelp();
    dialog->ShowFinished();
    RightClick(CentreOf(IDCANCEL));
    EXPECT_EQ(PanelText(), kExitHelp);
}

TEST_F(QuickHelpTest, ClicksInsideOrOutsideOnlyClose) {
    RightClick(CentreOf(IDOK));
    RECT rect;
    GetWindowRect(Panel(), &rect);
    RightClick(POINT{rect.left + 5, rect.top + 5});
    EXPECT_EQ(Panel(), nullptr) << "a right click inside the panel closes it";
    RightClick(CentreOf(IDOK));
    RightClick(POINT{-1, -1}); // a context request from the keyboard
    EXPECT_EQ(Panel(), nullptr);
    RightClick(POINT{-1, -1});
    EXPECT_EQ(Panel(), nullptr) << "and opens nothing";
    ShowQuickHelp(dialog.get(), CentreOf(IDOK).x, CentreOf(IDOK).y, nullptr);
    EXPECT_EQ(Panel(), nullptr) << "no table, nothing at all";
}

// The panel's own message map: released buttons arrive at it under the capture.
TEST_F(QuickHelpTest, PanelAnswersTheMouseAndIgnoresEnterAndEscape) {
    SetFocus(Item(IDC_DIRECTORY));
    RightClick(CentreOf(IDOK));
    HWND panel = Panel();
    ASSERT_NE(panel, nullptr);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(Panel(), panel) << "Enter and Escape leave it open";

    // A released right button over the Abort button, in panel client coordinates.
    POINT abort = CentreOf(IDCANCEL);
    ScreenToClient(panel, &abort);
    SendMessageA(panel, WM_RBUTTONUP, 0, MAKELPARAM(abort.x, abort.y));
    ASSERT_NE(Panel(), nullptr);
    EXPECT_FALSE(IsWindow(panel)) << "the old panel is gone";
    EXPECT_EQ(PanelText(), kAbortHelp);

    // A released left button anywhere closes it and gives the focus back.
    SendMessageA(Panel(), WM_LBUTTONUP, 0, MAKELPARAM(-300, -200));
    EXPECT_EQ(Panel(), nullptr);
    EXPECT_EQ(GetFocus(), Item(IDC_DIRECTORY));
    EXPECT_NE(GetCapture(), panel);
}

TEST_F(QuickHelpTest, SaveScreenshotsWhenAsked) {
    const char* directory = std::getenv("LXV_UI_SHOTS");
    if (directory == nullptr)
        GTEST_SKIP() << "LXV_UI_SHOTS is not set";
    auto save = [&](const char* name) {
        PumpMessages();
        RECT rect;
        GetWindowRect(dialog->hwnd, &rect);
        EXPECT_TRUE(CaptureScreen(rect).SaveBmp(std::string(directory) + "/" + name));
    };
    RightClick(CentreOf(IDC_DIRECTORY_LABEL));
    save("help-directory.bmp");
    CloseQuickHelp();
    RightClick(CentreOf(IDC_DEVELOPER));
    save("help-general.bmp");
}
