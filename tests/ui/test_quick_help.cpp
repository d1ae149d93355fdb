// test_quick_help.cpp - QuickHelp on the setup dialog, driven by real clicks and key strokes:
// which panel opens where, switching and closing, the keys, and the focus given back.
#include <gtest/gtest.h>

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/window_rect.h"
#include "tests/ui/real_input.h"
#include "tests/ui/setup_dialog_fixture.h"
#include "ui/quick_help.h"
#include "ui/quick_help_panel.h"
#include "ui/quick_help_state.h"

// Counts Install commands: a click that QuickHelp takes must never press the button.
static int installCalls = 0;
void RunInstall(const char*, int) {
    ++installCalls;
}

namespace {

// The first text of each panel, which tells the templates apart.
struct PanelKind {
    int templateId;
    const char* text;
};
const PanelKind kPanels[] = {
    {IDD_HELP_INSTALL,
     "Click on this button to install the software into the directory shown above."},
    {IDD_HELP_ABORT, "Click on this button to abort installation."},
    {IDD_HELP_EXIT, "Click on this button to exit installation and start the Lexivane program."},
    {IDD_HELP_DIRECTORY,
     "In this space, enter the drive and directory (path) where the software should be "
     "installed. If the directory does not exist, it will be created automatically."},
    {IDD_HELP_GENERAL,
     "Clicking the right mouse button on any dialog item (such as a check box or a button) "
     "displays QuickHelp on that item if available, else it displays this panel. The mouse "
     "cursor also changes to a dot, indicating that you are in QuickHelp mode."},
};

std::string FirstText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(GetWindow(window, GW_CHILD), buffer, sizeof buffer);
    return buffer;
}

struct PanelSearch {
    HWND setup;
    std::vector<HWND> found;
};

BOOL CALLBACK NotePanel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<PanelSearch*>(data);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (window != search->setup && IsWindowVisible(window) && std::string(name) == "#32770")
        search->found.push_back(window);
    return TRUE;
}

// The visible dialog windows of this thread other than the setup dialog: the panels a user
// sees.
std::vector<HWND> VisiblePanels(HWND setup) {
    PanelSearch search{setup, {}};
    EnumThreadWindows(GetCurrentThreadId(), NotePanel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class QuickHelpTest : public SetupDialogTest {
  protected:
    void SetUp() override {
        SetupDialogTest::SetUp();
        cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_DOT_CURSOR));
        ASSERT_NE(cursor, nullptr);
        RegisterQuickHelp(IDB_PANEL, cursor, IDD_HELP_GENERAL);
        installCalls = 0;
        SetForegroundWindow(dialog->hwnd);
        DrainInput();
    }
    void TearDown() override {
        CloseQuickHelp();
        SetupDialogTest::TearDown();
    }

    // The open panel as QuickHelp records it; it must also be the one panel on screen.
    HWND Panel() const {
        HWND open = quickHelpState.openPanel != nullptr ? quickHelpState.openPanel->hwnd : nullptr;
        std::vector<HWND> shown = VisiblePanels(dialog->hwnd);
        EXPECT_EQ(shown.size(), open != nullptr ? 1u : 0u) << "panels on screen";
        if (open != nullptr && shown.size() == 1) {
            EXPECT_EQ(shown[0], open);
        }
        return open;
    }
    // The template of the panel on screen: 0 for none, -1 for one not known.
    int Shown() const {
        HWND panel = Panel();
        if (panel == nullptr)
            return 0;
        std::string text = FirstText(panel);
        for (const PanelKind& kind : kPanels)
            if (text == kind.text)
                return kind.templateId;
        return -1;
    }

    // A point of the dialog given in its dialog units, in screen coordinates.
    POINT UnitsToScreen(int x, int y) const {
        RECT rect{x, y, x, y};
        MapDialogRect(dialog->hwnd, &rect);
        POINT at{rect.left, rect.top};
        ClientToScreen(dialog->hwnd, &at);
        return at;
    }
    POINT CentreOf(int id) const {
        RECT rect = WindowRect(Item(id));
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    // The client area's corners, in screen coordinates.
    RECT ClientOnScreen() const {
        RECT client;
        GetClientRect(dialog->hwnd, &client);
        MapWindowPoints(dialog->hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        return client;
    }

    // Opens an item's own panel with a right click on its centre; returns the panel's
    // rectangle.
    RECT OpenPanelOf(int id, int templateId) {
        EXPECT_TRUE(RightClickAt(CentreOf(id)));
        EXPECT_EQ(Shown(), templateId);
        return Panel() != nullptr ? WindowRect(Panel()) : RECT{};
    }
    RECT OpenInstallPanel() { return OpenPanelOf(IDOK, IDD_HELP_INSTALL); }
    // The directory label's panel, high in the dialog, clear of the buttons and the meter.
    RECT OpenLabelPanel() { return OpenPanelOf(IDC_DIRECTORY_LABEL, IDD_HELP_DIRECTORY); }

    // The placement rule: the pointer just inside the panel's top-left corner, or just
    // inside the opposite corner on an axis where the panel would reach the dialog's edge.
    void ExpectPlacedFor(POINT at) {
        ASSERT_NE(Panel(), nullptr);
        RECT bounds = WindowRect(dialog->hwnd);
        RECT rect = WindowRect(Panel());
        LONG pw = rect.right - rect.left;
        LONG ph = rect.bottom - rect.top;
        EXPECT_EQ(rect.left, at.x + pw < bounds.right ? at.x - 1 : std::max(at.x - pw, 0L) + 2);
        EXPECT_EQ(rect.top, at.y + ph < bounds.bottom ? at.y - 1 : std::max(at.y - ph, 0L) + 2);
    }

    bool DialogAlive() const {
        return dialog->hwnd != nullptr && IsWindowVisible(dialog->hwnd) &&
               dialog->Meter() != nullptr;
    }

    HCURSOR cursor = nullptr;
};

} // namespace

// The Install button lies so low in the dialog that its panel, 32 units tall, reaches the
// dialog's bottom edge from every row of the button: it always opens above the pointer.
// Higher up, the directory label's panel has its corner just above-left of the pointer.
TEST_F(QuickHelpTest, RightClickOpensThePanelBesideThePointer) {
    POINT at = CentreOf(IDOK);
    ASSERT_TRUE(RightClickAt(at));
    ASSERT_EQ(Shown(), IDD_HELP_INSTALL);
    HWND panel = Panel();
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_EQ(GetActiveWindow(), panel) << "showing it activates it";
    EXPECT_EQ(GetCapture(), panel) << "every mouse click goes to the panel";
    EXPECT_EQ(GetCursor(), cursor) << "the dot";
    RECT bounds = WindowRect(dialog->hwnd);
    RECT rect = WindowRect(panel);
    RECT button = WindowRect(Item(IDOK));
    ASSERT_LT(at.x + (rect.right - rect.left), bounds.right) << "room on the right";
    ASSERT_GE(button.top + (rect.bottom - rect.top), bounds.bottom) << "never room below";
    EXPECT_EQ(rect.left, at.x - 1);
    EXPECT_EQ(rect.top, std::max(at.y - (rect.bottom - rect.top), 0L) + 2);
    EXPECT_EQ(rect.bottom, at.y + 2) << "the pointer just inside the bottom-left corner";

    // The label's own row switches to its panel, unflipped.
    at = CentreOf(IDC_DIRECTORY_LABEL);
    ASSERT_TRUE(RightClickAt(at));
    ASSERT_EQ(Shown(), IDD_HELP_DIRECTORY);
    EXPECT_FALSE(IsWindow(panel)) << "the old panel is gone";
    rect = WindowRect(Panel());
    EXPECT_EQ(rect.left, at.x - 1);
    EXPECT_EQ(rect.top, at.y - 1);
    EXPECT_EQ(GetCapture(), Panel());
}

// The general panel is wide and tall: near the right edge it opens left of the pointer,
// near the bottom edge above it, in the corner both; and never left of or above screen
// coordinate 2.
TEST_F(QuickHelpTest, NearTheEdgesPanelsFlipAndStayOnTheScreen) {
    RECT client = ClientOnScreen();
    RECT bounds = WindowRect(dialog->hwnd);
    SIZE panel;
    {
        QuickHelpPanel measured(IDD_HELP_GENERAL, dialog.get());
        RECT rect = WindowRect(measured.hwnd);
        panel = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
    // Background points: the right margin beside the heading, the bottom margin below
    // Install, the bottom-right corner, and the last points on either side of each edge
    // where the panel just fits.
    int besideHeading = UnitsToScreen(0, 36).y;
    int rightMargin = client.right - 2;
    struct Case {
        POINT at;
        bool flipsX, flipsY;
    };
    const Case cases[] = {
        {{rightMargin, besideHeading}, true, false},
        {{client.left + 2, client.bottom - 2}, false, true},
        {{rightMargin, client.bottom - 2}, true, true},
        {{bounds.right - panel.cx, besideHeading}, true, false},
        {{bounds.right - panel.cx - 1, besideHeading}, false, false},
        {{rightMargin, bounds.bottom - panel.cy}, true, true},
        {{rightMargin, bounds.bottom - panel.cy - 1}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("at " + std::to_string(c.at.x) + "," + std::to_string(c.at.y));
        ASSERT_TRUE(RightClickAt(c.at));
        ASSERT_EQ(Shown(), IDD_HELP_GENERAL);
        RECT rect = WindowRect(Panel());
        EXPECT_EQ(rect.right - rect.left, panel.cx);
        EXPECT_EQ(rect.left, c.flipsX ? c.at.x - panel.cx + 2 : c.at.x - 1);
        EXPECT_EQ(rect.top, c.flipsY ? c.at.y - panel.cy + 2 : c.at.y - 1);
        ExpectPlacedFor(c.at);
        ASSERT_TRUE(LeftClickAt(c.at));
        ASSERT_EQ(Shown(), 0);
    }

    // With the dialog mostly above and left of the screen, its bottom-right corner near the
    // screen's top-left: the flipped panel stops at (2, 2).
    POINT corner{client.right - 3, client.bottom - 3};
    RECT window = WindowRect(dialog->hwnd);
    SetWindowPos(dialog->hwnd, nullptr, window.left - (corner.x - 40), window.top - (corner.y - 30),
                 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    DrainInput();
    ASSERT_TRUE(RightClickAt(POINT{40, 30}));
    ASSERT_EQ(Shown(), IDD_HELP_GENERAL);
    RECT rect = WindowRect(Panel());
    ASSERT_LT(40 - (rect.right - rect.left), 0);
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 2);
}

// Points without a row of their own open the general panel when none is open. With a panel
// open the same click only closes it.
TEST_F(QuickHelpTest, ItemsWithoutRowsGetTheGeneralPanelOnlyWhenNoneIsOpen) {
    struct Place {
        const char* name;
        POINT at;
    };
    RECT text = WindowRect(GetNextWindow(Item(IDC_DIRECTORY), GW_HWNDNEXT));
    const Place places[] = {
        {"check box", CentreOf(IDC_DEVELOPER)},
        {"developer text", POINT{(text.left + text.right) / 2, (text.top + text.bottom) / 2}},
        {"hidden meter placeholder", CentreOf(IDC_METER)},
        {"background", UnitsToScreen(150, 36)},
    };
    ASSERT_FALSE(IsWindowVisible(Item(IDC_METER)));
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        ASSERT_TRUE(RightClickAt(place.at));
        ASSERT_EQ(Shown(), IDD_HELP_GENERAL);
        ExpectPlacedFor(place.at);
        // Closed by a released left button inside it.
        RECT rect = WindowRect(Panel());
        ASSERT_TRUE(LeftClickAt(POINT{rect.left + 5, rect.top + 5}));
        ASSERT_EQ(Shown(), 0);

        RECT open = OpenLabelPanel();
        ASSERT_FALSE(PtInRect(&open, place.at)) << "the click must miss the open panel";
        ASSERT_TRUE(RightClickAt(place.at));
        EXPECT_EQ(Shown(), 0) << "closed, and nothing opened";
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

// Right clicks on items with rows switch panels; the Abort button's row follows its new
// label after a successful installation, and the disabled Install button keeps its panel.
TEST_F(QuickHelpTest, RightClicksSwitchPanelsAndFollowTheExitLabel) {
    OpenInstallPanel();
    ASSERT_TRUE(RightClickAt(CentreOf(IDCANCEL)));
    EXPECT_EQ(Shown(), IDD_HELP_ABORT);
    ExpectPlacedFor(CentreOf(IDCANCEL));
    // A right click inside the open panel only closes it, even where the panel lies over
    // an item with a panel of its own.
    OpenInstallPanel();
    POINT over{CentreOf(IDOK).x + 2, CentreOf(IDOK).y - 2};
    RECT rect = WindowRect(Panel());
    RECT button = WindowRect(Item(IDOK));
    ASSERT_TRUE(PtInRect(&rect, over) && PtInRect(&button, over));
    ASSERT_TRUE(RightClickAt(over));
    EXPECT_EQ(Shown(), 0);

    dialog->ShowFinished();
    DrainInput();
    ASSERT_FALSE(IsWindowEnabled(Item(IDOK)));
    // The disabled button takes no clicks, so the dialog itself gets the request; the
    // button is still found there, being visible.
    OpenInstallPanel();
    ASSERT_TRUE(RightClickAt(CentreOf(IDCANCEL)));
    EXPECT_EQ(Shown(), IDD_HELP_EXIT);
    EXPECT_EQ(installCalls, 0);
}

// A left click anywhere closes the panel and does nothing else: the Install button is not
// pressed, the Abort button does not end the program.
TEST_F(QuickHelpTest, LeftClicksAnywhereOnlyClose) {
    RECT title = WindowRect(dialog->hwnd);
    struct Place {
        const char* name;
        POINT at;
    };
    const Place places[] = {
        {"Install", CentreOf(IDOK)},
        {"Abort", CentreOf(IDCANCEL)},
        {"check box", CentreOf(IDC_DEVELOPER)},
        {"background", UnitsToScreen(150, 36)},
        {"title bar", POINT{(title.left + title.right) / 2, title.top + 8}},
        {"outside the dialog", POINT{5, 5}},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        RECT open = OpenLabelPanel();
        ASSERT_FALSE(PtInRect(&open, place.at));
        ASSERT_TRUE(LeftClickAt(place.at));
        EXPECT_EQ(Shown(), 0);
        EXPECT_EQ(GetCapture(), nullptr) << "the capture ended with the panel";
        ASSERT_TRUE(DialogAlive());
        EXPECT_EQ(installCalls, 0);
        EXPECT_EQ(IsDlgButtonChecked(dialog->hwnd, IDC_DEVELOPER), BST_UNCHECKED);
    }
    // Without a panel the same clicks reach the controls again.
    ASSERT_TRUE(LeftClickAt(CentreOf(IDC_DEVELOPER)));
    EXPECT_EQ(IsDlgButtonChecked(dialog->hwnd, IDC_DEVELOPER), BST_CHECKED);
    ASSERT_TRUE(LeftClickAt(CentreOf(IDOK)));
    EXPECT_EQ(installCalls, 1);
}

// Counts the context requests from the keyboard, at (-1, -1), that reach a window.
class KeyboardRequestCounter {
  public:
    explicit KeyboardRequestCounter(HWND window) {
        count = 0;
        watched = window;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~KeyboardRequestCounter() { UnhookWindowsHookEx(hook); }
    int Count() const { return count; }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->hwnd == watched && message->message == WM_CONTEXTMENU &&
            GET_X_LPARAM(message->lParam) == -1 && GET_Y_LPARAM(message->lParam) == -1)
            ++count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int count = 0;
    static inline HWND watched = nullptr;
    HHOOK hook;
};

// Enter and Escape go to the panel, which has the focus, and leave it open; when it closes,
// the focus is back where it was. The context menu key, too, goes to the panel then, which
// has no use for it. When the setup dialog gets the key, its request at (-1, -1) lies
// outside the dialog: it closes an open panel and opens nothing.
TEST_F(QuickHelpTest, KeysLeaveThePanelOpenAndTheFocusComesBack) {
    KeyboardRequestCounter requests(dialog->hwnd);
    SetFocus(Item(IDC_DIRECTORY));
    OpenInstallPanel();
    HWND panel = Panel();
    EXPECT_EQ(GetAncestor(GetFocus(), GA_ROOT), panel) << "the keys go to the panel";
    // Each key must leave the panel open: were the focus back in the directory field, the
    // context menu key would open the field's own menu.
    PressKeys({VK_RETURN});
    ASSERT_EQ(Panel(), panel) << "Enter leaves it open";
    PressKeys({VK_ESCAPE});
    ASSERT_EQ(Panel(), panel) << "Escape leaves it open";
    PressKeys({VK_APPS});
    EXPECT_EQ(Panel(), panel) << "the context menu key leaves it open";
    EXPECT_EQ(requests.Count(), 0);
    EXPECT_EQ(installCalls, 0);
    EXPECT_TRUE(DialogAlive());
    ASSERT_TRUE(LeftClickAt(CentreOf(IDOK)));
    EXPECT_EQ(Shown(), 0);
    EXPECT_EQ(GetFocus(), Item(IDC_DIRECTORY)) << "the focus is back on the directory field";

    // The setup dialog becomes active again while the panel stays open (as from the task
    // bar): the focus returns to the check box, and the panel takes the capture back from
    // whichever window had taken it.
    SetFocus(Item(IDC_DEVELOPER));
    OpenInstallPanel();
    panel = Panel();
    SetCapture(dialog->hwnd); // another window takes the capture
    SetForegroundWindow(dialog->hwnd);
    DrainInput();
    ASSERT_EQ(Panel(), panel);
    EXPECT_EQ(GetFocus(), Item(IDC_DEVELOPER));
    EXPECT_EQ(GetCapture(), panel) << "taken back at the activation change";
    // Tab moves on to Install, where the context menu key is pressed (not Shift+F10: after
    // Shift+F10 Wine also enters the system menu's keyboard mode).
    PressKeys({VK_TAB});
    ASSERT_EQ(GetFocus(), Item(IDOK));
    PressKeys({VK_APPS});
    EXPECT_EQ(requests.Count(), 1);
    EXPECT_EQ(Shown(), 0) << "closed by the keyboard request";
    EXPECT_EQ(GetFocus(), Item(IDC_DEVELOPER)) << "back where it was when the panel opened";
    PressKeys({VK_APPS});
    EXPECT_EQ(requests.Count(), 2);
    EXPECT_EQ(Shown(), 0) << "and without a panel it opens nothing";
}

// The item under the pointer counts when it is visible or enabled: a hidden button still
// has its panel, a hidden and disabled one is background.
TEST_F(QuickHelpTest, HiddenAndDisabledItemsAreBackground) {
    POINT at = CentreOf(IDOK);
    ShowWindow(Item(IDOK), SW_HIDE);
    ASSERT_TRUE(RightClickAt(at));
    EXPECT_EQ(Shown(), IDD_HELP_INSTALL);
    ASSERT_TRUE(LeftClickAt(at));
    EnableWindow(Item(IDOK), FALSE);
    ASSERT_TRUE(RightClickAt(at));
    EXPECT_EQ(Shown(), IDD_HELP_GENERAL);
}

// What no click can produce: a request outside the dialog with a panel open, a null table,
// and a cursor that failed to load.
TEST_F(QuickHelpTest, DirectRequestsOutsideWithoutTableOrCursor) {
    QuickHelpEntry* table = const_cast<QuickHelpEntry*>(dialog->QuickHelpTable());
    POINT at = CentreOf(IDOK);
    ShowQuickHelp(dialog.get(), at.x, at.y, table);
    ASSERT_EQ(Shown(), IDD_HELP_INSTALL);
    ShowQuickHelp(dialog.get(), at.x, at.y, nullptr);
    EXPECT_EQ(Shown(), IDD_HELP_INSTALL) << "no table: nothing at all, the panel stays";
    ShowQuickHelp(dialog.get(), -1, -1, table);
    EXPECT_EQ(Shown(), 0) << "outside: only closed";

    RegisterQuickHelp(IDB_PANEL, nullptr, IDD_HELP_GENERAL);
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    SetCursor(arrow);
    ShowQuickHelp(dialog.get(), at.x, at.y, table);
    EXPECT_EQ(Shown(), IDD_HELP_INSTALL);
    EXPECT_EQ(GetCursor(), arrow) << "no cursor: the pointer keeps its shape";
    EXPECT_EQ(GetCapture(), Panel());
}

// Each panel shows the whole of its text: no line is cut off at its bottom or right edge.
TEST_F(QuickHelpTest, EveryPanelShowsItsWholeText) {
    for (const PanelKind& kind : kPanels) {
        SCOPED_TRACE("template " + std::to_string(kind.templateId));
        QuickHelpPanel panel(kind.templateId, dialog.get());
        ASSERT_NE(panel.hwnd, nullptr);
        int texts = 0;
        for (HWND text = GetWindow(panel.hwnd, GW_CHILD); text != nullptr;
             text = GetWindow(text, GW_HWNDNEXT), ++texts) {
            SIZE needed{};
            EXPECT_TRUE(TextFits(text, &needed))
                << "text " << texts + 1 << " needs " << needed.cx << " x " << needed.cy;
        }
        EXPECT_EQ(texts, kind.templateId == IDD_HELP_GENERAL ? 3 : 1);
    }
}

// Not a check: with LXV_UI_SHOTS naming a directory, saves every panel as a user sees it.
TEST_F(QuickHelpTest, SaveScreenshotsWhenAsked) {
    const char* directory = std::getenv("LXV_UI_SHOTS");
    if (directory == nullptr)
        GTEST_SKIP() << "LXV_UI_SHOTS is not set";
    auto save = [&](const char* name) {
        DrainInput();
        RECT rect = WindowRect(dialog->hwnd);
        RECT panel = WindowRect(Panel());
        UnionRect(&rect, &rect, &panel);
        EXPECT_TRUE(CaptureScreen(rect).SaveBmp(std::string(directory) + "/" + name));
    };
    RightClickAt(CentreOf(IDOK));
    save("help-106-install.bmp");
    RightClickAt(CentreOf(IDCANCEL));
    save("help-107-abort.bmp");
    RightClickAt(CentreOf(IDC_DIRECTORY_LABEL));
    save("help-109-directory.bmp");
    LeftClickAt(CentreOf(IDOK));
    RightClickAt(CentreOf(IDC_DEVELOPER));
    save("help-113-general.bmp");
    LeftClickAt(CentreOf(IDOK));
    dialog->ShowFinished();
    RightClickAt(CentreOf(IDCANCEL));
    save("help-108-exit.bmp");
}
