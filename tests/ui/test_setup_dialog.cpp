// test_setup_dialog.cpp - the setup dialog from template 101, driven on the GUI thread under
// Wine: its ready state, the status line, the observer operations, the Install command and
// closing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/install_sequence.h"
#include "app/install_state.h"
#include "res/resource.h"
#include "shell/launch.h"
#include "tests/ui/screen_pixels.h"
#include "tests/ui/setup_dialog_fixture.h"

// The Install command's callee. The real sequence is the program's; here it only records
// what the command handler passed.
static std::string installDirectory;
static int installDeveloper = -1;
static int installCalls = 0;

void RunInstall(const char* directoryText, int developer) {
    installDirectory = directoryText;
    installDeveloper = developer;
    ++installCalls;
}

namespace {

std::string Text(HWND window) {
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ExpectPointerAtCentreOf(HWND control) {
    POINT pointer{};
    GetCursorPos(&pointer);
    POINT centre = Centre(control);
    EXPECT_EQ(pointer.x, centre.x);
    EXPECT_EQ(pointer.y, centre.y);
}

// A warning box blocks the GUI thread in its modal loop. This thread waits for the box with
// the caption, notes its text and what the status line read while it was up, and presses OK.
class WarningDismisser {
  public:
    WarningDismisser(const char* caption, HWND status)
        : thread([this, caption, status] {
              for (int i = 0; i < 1000 && !stop; ++i) {
                  HWND box = FindWindowA("#32770", caption);
                  if (box != nullptr && IsWindowVisible(box)) {
                      statusWhileUp = Text(status);
                      boxText = Text(GetDlgItem(box, 0xFFFF));
                      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
                      seen = true;
                      return;
                  }
                  Sleep(10);
              }
          }) {}
    ~WarningDismisser() {
        stop = true;
        thread.join();
    }

    std::atomic<bool> stop{false};
    std::atomic<bool> seen{false};
    std::string statusWhileUp;
    std::string boxText;

  private:
    std::thread thread;
};

} // namespace

TEST_F(SetupDialogTest, ReadyAfterCreation) {
    HWND window = dialog->hwnd;
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Text(window), "Lexivane - Installation");
    EXPECT_EQ(Text(Item(IDC_DIRECTORY)), "C:\\Lexivane");
    EXPECT_EQ(Text(Item(IDC_STATUS)), "");
    EXPECT_EQ(Text(Item(IDCANCEL)), "&Abort");
    EXPECT_EQ(GetFocus(), Item(IDOK)) << "the first tab stop";
    EXPECT_EQ(ownerWindow, window);
    ASSERT_NE(dialog->Meter(), nullptr);
    EXPECT_EQ(dialog->Meter()->Percent(), 0);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_METER))) << "the placeholder is never shown";
    const QuickHelpEntry* table = dialog->QuickHelpTable();
    EXPECT_EQ(table[0].controlId, IDCANCEL);
    EXPECT_EQ(table[0].templateId, static_cast<uint32_t>(IDD_HELP_ABORT));
    EXPECT_EQ(table[1].controlId, IDOK);
    EXPECT_EQ(table[1].templateId, static_cast<uint32_t>(IDD_HELP_INSTALL));
    EXPECT_EQ(table[2].controlId, IDC_DIRECTORY_LABEL);
    EXPECT_EQ(table[2].templateId, static_cast<uint32_t>(IDD_HELP_DIRECTORY));
    EXPECT_EQ(table[3].controlId, 0);
}

TEST_F(SetupDialogTest, CentredOnTheDesktop) {
    RECT desktop, rect;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog->hwnd, &rect);
    int dw = rect.right - rect.left;
    int dh = rect.bottom - rect.top;
    EXPECT_EQ(rect.left, desktop.left + (desktop.right - desktop.left - dw) / 2);
    EXPECT_EQ(rect.top, desktop.top + (desktop.bottom - desktop.top - dh) / 2);
}

namespace {

// The 13 controls of template 101 in template order, which is also their tab order, with
// their places in dialog units; -1 stands for a control without id.
struct TemplateControl {
    int id;
    const char* kind;
    int x, y, width, height;
};
const TemplateControl kTemplateControls[] = {
    {IDOK, "Button", 27, 158, 64, 15},
    {IDC_DIRECTORY_LABEL, "Static", 5, 41, 61, 8},
    {IDC_DIRECTORY, "Edit", 68, 39, 193, 12},
    {-1, "Static", 5, 88, 253, 25}, // the developer text
    {IDCANCEL, "Button", 171, 158, 64, 15},
    {-1, "Static", 5, 82, 256, 1},
    {-1, "Static", 31, 11, 204, 18}, // the heading
    {IDC_METER, "Static", 5, 137, 256, 12},
    {-1, "Static", 5, 55, 253, 27}, // the warning
    {-1, "Static", 5, 5, 256, 29},
    {IDC_STATUS, "Edit", 5, 123, 256, 12},
    {IDC_DEVELOPER, "Button", 5, 87, 9, 10},
    {-1, "Static", 5, 116, 256, 1},
};

// The child windows of the dialog, first to last.
std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

} // namespace

// Every control where its dialog units put it (position and size converted each on its own,
// as the dialog manager does), in template order; the tab stops in the same
// order, from Install round to Install again.
TEST_F(SetupDialogTest, ControlsLieWhereTheirDialogUnitsPlaceThem) {
    RECT client, size{0, 0, 266, 180};
    GetClientRect(dialog->hwnd, &client);
    MapDialogRect(dialog->hwnd, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    std::vector<HWND> children = Children(dialog->hwnd);
    ASSERT_EQ(children.size(), std::size(kTemplateControls));
    for (size_t i = 0; i < children.size(); ++i) {
        const TemplateControl& c = kTemplateControls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        char kind[32] = {};
        GetClassNameA(children[i], kind, sizeof kind);
        EXPECT_STREQ(kind, c.kind);
        // A plain template stores ids in 16 bits: -1 reads back as 0xFFFF.
        EXPECT_EQ(GetDlgCtrlID(children[i]) & 0xFFFF, c.id & 0xFFFF);
        // The dialog manager converts the position and the size each on its own.
        RECT units{c.x, c.y, c.width, c.height};
        MapDialogRect(dialog->hwnd, &units);
        RECT expected{units.left, units.top, units.left + units.right, units.top + units.bottom};
        RECT shown;
        GetWindowRect(children[i], &shown);
        MapWindowPoints(nullptr, dialog->hwnd, reinterpret_cast<POINT*>(&shown), 2);
        EXPECT_EQ(shown.left, expected.left);
        EXPECT_EQ(shown.top, expected.top);
        EXPECT_EQ(shown.bottom, expected.bottom);
        // The platform's static control makes an etched line two pixels longer.
        bool etchedLine = (GetWindowLongA(children[i], GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ;
        EXPECT_EQ(shown.right, expected.right + (etchedLine ? 2 : 0));
    }

    const int tabStops[] = {IDOK, IDC_DIRECTORY, IDCANCEL, IDC_DEVELOPER, IDOK};
    HWND at = GetNextDlgTabItem(dialog->hwnd, nullptr, FALSE);
    EXPECT_EQ(at, Item(IDOK)) << "the first tab stop";
    for (size_t i = 1; i < std::size(tabStops); ++i) {
        at = GetNextDlgTabItem(dialog->hwnd, at, FALSE);
        EXPECT_EQ(at, Item(tabStops[i])) << "tab stop " << i + 1;
    }
}

// The labels, the heading and the two paragraphs show their whole text.
TEST_F(SetupDialogTest, EveryTextFitsItsControl) {
    std::vector<HWND> children = Children(dialog->hwnd);
    for (int index : {1, 3, 6, 8}) { // directory label, developer text, heading, warning
        SCOPED_TRACE("control " + std::to_string(index + 1));
        SIZE needed{};
        EXPECT_TRUE(TextFits(children[index], &needed))
            << "needs " << needed.cx << " x " << needed.cy;
    }
}

// The background is the bitmap repeated from the client area's origin (110 with more than
// 8 bits per pixel, else 115): every pixel that no control covers.
TEST_F(SetupDialogTest, BackgroundRepeatsWithTheBitmapsPeriod) {
    Pixels tile = Tile();
    RECT client;
    GetClientRect(dialog->hwnd, &client);
    ASSERT_GT(client.right, tile.width) << "the dialog spans more than one tile each way";
    ASSERT_GT(client.bottom, tile.height);
    EXPECT_EQ(tile.width, installState.highColour ? 150 : 90);
    std::vector<RECT> covered;
    for (HWND child : Children(dialog->hwnd)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog->hwnd, reinterpret_cast<POINT*>(&rect), 2);
        covered.push_back(rect); // the hidden placeholder too: the meter draws there
    }
    Pixels shown = CaptureClient(dialog->hwnd, client);
    int checked = 0;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            POINT at{x, y};
            bool free = std::none_of(covered.begin(), covered.end(),
                                     [&](const RECT& r) { return PtInRect(&r, at); });
            if (!free)
                continue;
            ++checked;
            ASSERT_TRUE(IsTile(shown, tile, x, y)) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(checked, client.right * client.bottom / 4);
}

// Static texts, the check box and the status line paint no background of their own: what
// is not their text is the tiled bitmap.
TEST_F(SetupDialogTest, StaticTextsShowTheBackgroundThrough) {
    dialog->ShowStatus("Installing:   c:\\lexivane\\readme.txt");
    std::vector<HWND> children = Children(dialog->hwnd);
    struct Case {
        const char* name;
        HWND control;
        bool onlyText; // everything else is text in the text colour
    };
    const Case cases[] = {
        {"directory label", Item(IDC_DIRECTORY_LABEL), true},
        {"developer text", children[3], true},
        {"heading", children[6], true},
        {"warning", children[8], true},
        {"status line", Item(IDC_STATUS), true},
        {"check box", Item(IDC_DEVELOPER), false},
    };
    Pixels tile = Tile();
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    RECT box = ItemRect(IDC_DEVELOPER);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RECT rect;
        GetWindowRect(c.control, &rect);
        MapWindowPoints(nullptr, dialog->hwnd, reinterpret_cast<POINT*>(&rect), 2);
        Pixels shown = CaptureClient(dialog->hwnd, rect);
        int background = 0, textPixels = 0, other = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                POINT at{x, y};
                if (c.onlyText && PtInRect(&box, at))
                    continue; // the check box lies on the developer text
                if (IsTile(shown, tile, x, y))
                    ++background;
                else if (shown.At(x, y) == text)
                    ++textPixels;
                else
                    ++other;
            }
        }
        int all = background + textPixels + other;
        if (c.onlyText) {
            EXPECT_EQ(other, 0);
            EXPECT_GT(textPixels, 20) << "the text is drawn";
            EXPECT_GT(background, all / 2);
        } else {
            // The box itself is drawn; above and below it the tiles show.
            EXPECT_GT(background, all / 8);
        }
    }
}

TEST_F(SetupDialogTest, LowColourScreensGetTheSixteenColourBackground) {
    dialog.reset();
    installState.highColour = 0;
    dialog = std::make_unique<SetupDialog>(IDD_SETUP);
    PumpMessages();
    Pixels tile = BitmapResourcePixels(IDB_BACKGROUND_16);
    ASSERT_EQ(tile.width, 90);
    // The bottom-right corner of the client area, below the buttons.
    RECT client;
    GetClientRect(dialog->hwnd, &client);
    RECT corner{client.right - 20, client.bottom - 3, client.right, client.bottom};
    Pixels shown = CaptureClient(dialog->hwnd, corner);
    for (int y = corner.top; y < corner.bottom; ++y)
        for (int x = corner.left; x < corner.right; ++x)
            ASSERT_EQ(shown.At(x, y), tile.At(x % 90, y % 90)) << "at " << x << "," << y;
}

TEST_F(SetupDialogTest, FocusOnTheDirectoryPutsTheCaretAtTheEnd) {
    SetWindowTextA(Item(IDC_DIRECTORY), "D:\\Somewhere\\Else");
    SetFocus(Item(IDOK));
    dialog->FocusControl(IDC_DIRECTORY);
    EXPECT_EQ(GetFocus(), Item(IDC_DIRECTORY));
    DWORD start = 0, end = 0;
    SendMessageA(Item(IDC_DIRECTORY), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 17u) << "nothing selected, caret behind the last character";
    EXPECT_EQ(end, 17u);
    ExpectPointerAtCentreOf(Item(IDC_DIRECTORY));
}

TEST_F(SetupDialogTest, FocusOnAButtonMakesItTheDefault) {
    dialog->FocusControl(IDCANCEL);
    EXPECT_EQ(GetFocus(), Item(IDCANCEL));
    EXPECT_EQ(GetWindowLongA(Item(IDCANCEL), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(Item(IDOK), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
    ExpectPointerAtCentreOf(Item(IDCANCEL));
}

TEST_F(SetupDialogTest, FocusWithoutPointerLeavesThePointer) {
    SetCursorPos(3, 4);
    BitmapDialog::FocusControl(dialog.get(), IDC_DIRECTORY, false, true);
    EXPECT_EQ(GetFocus(), Item(IDC_DIRECTORY));
    POINT pointer{};
    GetCursorPos(&pointer);
    EXPECT_EQ(pointer.x, 3);
    EXPECT_EQ(pointer.y, 4);
}

// The status line paints no background of its own, so a naive text change would leave the
// longer old text visible behind the new one.
TEST_F(SetupDialogTest, ShorterStatusLeavesNoTraceOfTheLongerOne) {
    RECT line = ItemRect(IDC_STATUS);
    Pixels tile = Tile();
    // Right of where the short text can reach, everything must be tile again.
    int clearFrom = line.left + 30;
    auto tracesRight = [&] {
        Pixels shown = CaptureClient(dialog->hwnd, line);
        int traces = 0;
        for (int y = line.top; y < line.bottom; ++y)
            for (int x = clearFrom; x < line.right; ++x)
                traces += shown.At(x, y) != tile.At(x % tile.width, y % tile.height);
        return traces;
    };
    dialog->ShowStatus("Installing:   WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW.DLL");
    EXPECT_EQ(Text(Item(IDC_STATUS)),
              "Installing:   WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW.DLL");
    EXPECT_GT(tracesRight(), 100) << "the long text is on screen at once";
    dialog->ShowStatus("i");
    EXPECT_EQ(Text(Item(IDC_STATUS)), "i");
    EXPECT_EQ(tracesRight(), 0);
    // And the short text itself is on screen.
    Pixels shown = CaptureClient(dialog->hwnd, line);
    int textPixels = 0;
    for (int y = line.top; y < line.bottom; ++y)
        for (int x = line.left; x < clearFrom; ++x)
            textPixels += shown.At(x, y) != tile.At(x % tile.width, y % tile.height);
    EXPECT_GT(textPixels, 0);
}

TEST_F(SetupDialogTest, ReportFailureSetsTheStatusOnlyAfterTheBoxIsDismissed) {
    dialog->ShowStatus("Installing:   a.txt");
    SetFocus(Item(IDC_DIRECTORY));
    {
        WarningDismisser dismisser("Lexivane Setup Error", Item(IDC_STATUS));
        dialog->ReportFailure("Out of disk space while writing\nc:\\lexivane\\a.txt");
        ASSERT_TRUE(dismisser.seen);
        EXPECT_EQ(dismisser.boxText, "Out of disk space while writing\nc:\\lexivane\\a.txt");
        EXPECT_EQ(dismisser.statusWhileUp, "Installing:   a.txt");
    }
    EXPECT_EQ(Text(Item(IDC_STATUS)), "Installation not successful.");
    EXPECT_EQ(GetFocus(), Item(IDCANCEL));
    ExpectPointerAtCentreOf(Item(IDCANCEL));
    EXPECT_TRUE(IsWindowEnabled(Item(IDOK))) << "Install may be chosen again";
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_DIRECTORY)));
}

TEST_F(SetupDialogTest, ReportPathFailureFocusesTheDirectoryAndKeepsTheStatus) {
    dialog->ShowStatus("Checking");
    SetWindowTextA(Item(IDC_DIRECTORY), "Q:\\no\\such");
    {
        WarningDismisser dismisser("Lexivane Setup Error", Item(IDC_STATUS));
        dialog->ReportPathFailure("Could not create the path\nq:\\no\\such\\");
        ASSERT_TRUE(dismisser.seen);
        EXPECT_EQ(dismisser.boxText, "Could not create the path\nq:\\no\\such\\");
    }
    EXPECT_EQ(Text(Item(IDC_STATUS)), "Checking");
    EXPECT_EQ(GetFocus(), Item(IDC_DIRECTORY));
    DWORD start = 0, end = 0;
    SendMessageA(Item(IDC_DIRECTORY), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 10u);
    EXPECT_EQ(end, 10u);
    ExpectPointerAtCentreOf(Item(IDC_DIRECTORY));
}

TEST_F(SetupDialogTest, ShowFinishedSwitchesToExit) {
    dialog->ShowStatus("Installation was successful.");
    dialog->ShowFinished();
    EXPECT_FALSE(IsWindowEnabled(Item(IDOK)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_DIRECTORY)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_DEVELOPER)));
    EXPECT_EQ(Text(Item(IDCANCEL)), "E&xit");
    EXPECT_EQ(GetFocus(), Item(IDCANCEL));
    ExpectPointerAtCentreOf(Item(IDCANCEL));
    const QuickHelpEntry* table = dialog->QuickHelpTable();
    EXPECT_EQ(table[0].templateId, static_cast<uint32_t>(IDD_HELP_EXIT));
    EXPECT_EQ(table[1].templateId, static_cast<uint32_t>(IDD_HELP_INSTALL));
    EXPECT_EQ(Text(Item(IDC_STATUS)), "Installation was successful.");
}

TEST_F(SetupDialogTest, InstallCommandPassesTheDirectoryAndTheCheckBox) {
    installCalls = 0;
    SetWindowTextA(Item(IDC_DIRECTORY), "E:\\Products\\Lexivane");
    SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDOK)));
    EXPECT_EQ(installCalls, 1);
    EXPECT_EQ(installDirectory, "E:\\Products\\Lexivane");
    EXPECT_EQ(installDeveloper, 0);

    SendMessageA(Item(IDC_DEVELOPER), BM_CLICK, 0, 0);
    // The Enter key presses the default button, Install.
    MSG enter{Item(IDC_DIRECTORY), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    SetFocus(Item(IDC_DIRECTORY));
    EXPECT_TRUE(IsDialogMessageA(dialog->hwnd, &enter));
    EXPECT_EQ(installCalls, 2);
    EXPECT_EQ(installDeveloper, 1);
}

TEST_F(SetupDialogTest, InstallCommandReadsAtMost259Characters) {
    std::string longPath = "C:\\" + std::string(400, 'a');
    SetWindowTextA(Item(IDC_DIRECTORY), longPath.c_str());
    SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(installDirectory, longPath.substr(0, 259));
}

// The Abort button, the Escape key and the close box all end the dialog and the loop.
TEST_F(SetupDialogTest, AbortEscapeAndCloseBoxEndTheProgram) {
    installCalls = 0;
    auto expectClosed = [&](const char* how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(dialog->hwnd, nullptr) << "window destroyed";
        EXPECT_EQ(dialog->Meter(), nullptr) << "meter released";
        MSG quit{};
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 0u);
    };
    SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDCANCEL)));
    expectClosed("Abort");

    dialog = std::make_unique<SetupDialog>(IDD_SETUP);
    MSG escape{Item(IDC_DIRECTORY), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageA(dialog->hwnd, &escape));
    expectClosed("Escape");

    dialog = std::make_unique<SetupDialog>(IDD_SETUP);
    SendMessageA(dialog->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    expectClosed("close box");
    EXPECT_EQ(installCalls, 0) << "closing never installs";
}

// After closing, a late progress report or paint request finds no meter and does no harm.
TEST_F(SetupDialogTest, ProgressAfterCloseIsIgnored) {
    HWND window = dialog->hwnd;
    HWND meterWindow = Item(IDC_METER);
    dialog->CloseDialog();
    dialog->SetProgress(50);
    EXPECT_EQ(dialog->Meter(), nullptr) << "the meter is gone";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(meterWindow));
    // (A peek for WM_PAINT would return the quit request, which is handed out whatever the
    // filter.)
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT, 0u) << "a paint is pending";
    dialog.reset();
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Not a check: with LXV_UI_SHOTS naming a directory, saves what a user sees in the main
// states, for a person to look at.
TEST_F(SetupDialogTest, SaveScreenshotsWhenAsked) {
    const char* directory = std::getenv("LXV_UI_SHOTS");
    if (directory == nullptr)
        GTEST_SKIP() << "LXV_UI_SHOTS is not set";
    auto save = [&](const char* name) {
        PumpMessages();
        RECT rect;
        GetWindowRect(dialog->hwnd, &rect);
        EXPECT_TRUE(CaptureScreen(rect).SaveBmp(std::string(directory) + "/" + name));
    };
    save("ready.bmp");
    dialog->ShowStatus("Installing:   c:\\lexivane\\docs\\converting-documents.txt");
    dialog->SetProgress(42);
    save("installing-42.bmp");
    dialog->SetProgress(51);
    save("installing-51.bmp");
    dialog->SetProgress(100);
    dialog->ShowStatus("Installation was successful.");
    dialog->ShowFinished();
    save("finished.bmp");
}
