// setup_dialog.cpp - the setup dialog: initialisation, the status line, the install command,
// closing, and the five operations through which an installation reports.
#include "ui/setup_dialog.h"

#include "app/install_sequence.h"
#include "app/texts.h"
#include "res/resource.h"
#include "shell/launch.h"
#include "shell/messages.h"

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0);      // the meter's bar
constexpr COLORREF kYellow = RGB(255, 255, 0); // its label above 50 percent
} // namespace

const MessageMapEntry SetupDialog::messageEntries[] = {
    {WM_PAINT, 0, &SetupDialog::OnPaint},
    {WM_CLOSE, 0, &SetupDialog::CloseDialog},
    {WM_CONTEXTMENU, 0, &SetupDialog::OnContextMenu},
    {WM_COMMAND, IDOK, &SetupDialog::OnInstall},
    {WM_COMMAND, IDCANCEL, &SetupDialog::CloseDialog},
    {0, 0, DefaultProcessing},
};
const MessageMap SetupDialog::messageMap = {&BitmapDialog::messageMap, messageEntries};

SetupDialog::SetupDialog(uint32_t templateId)
    : BitmapDialog(templateId, installState.highColour ? IDB_BACKGROUND : IDB_BACKGROUND_16,
                   nullptr, kCenterBoth, 0, MovePointerToFocus),
      quickHelpTable{{IDCANCEL, IDD_HELP_ABORT},
                     {IDOK, IDD_HELP_INSTALL},
                     {IDC_DIRECTORY_LABEL, IDD_HELP_DIRECTORY},
                     {0, 0}} {
    Create(templateId, nullptr);
}

// Nothing of its own: the meter is gone with CloseDialog, or goes with the unique_ptr.
SetupDialog::~SetupDialog() = default;

BOOL SetupDialog::OnInitDialog() {
    BitmapDialog::OnInitDialog();
    meter = std::make_unique<ProgressMeter>(IDC_METER, this, kRed, kYellow);
    ::SetDlgItemTextA(hwnd, IDC_DIRECTORY, text::kDefaultDirectory);
    ownerWindow = hwnd;
    // True: the platform puts the focus on the first tab stop, the Install button.
    return TRUE;
}

void SetupDialog::SetStatusText(int32_t controlId, const char* text) {
    // The control paints no background of its own. Emptying it while hidden and repainting
    // the dialog puts fresh tiles under it before the new text goes on, so nothing of a
    // longer old text survives; the second repaint shows the new text although the install
    // sequence does not return to the message loop in between.
    //
    // Hiding and showing defer their erases (ShowWindow would erase the dialog, then the
    // control, at once): the first repaint erases both in its one pass. The screen is the
    // same when it returns, and this runs once per file: under Wine each erase pass costs a
    // handful of server round trips.
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    HWND control = GetDlgItem(controlId);
    ::SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | kKeepPlace | SWP_DEFERERASE);
    ::SetWindowTextA(control, "");
    ::SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | kKeepPlace | SWP_DEFERERASE);
    UpdateWindow();
    ::SetWindowTextA(control, text);
    UpdateWindow();
}

void SetupDialog::FocusControl(int32_t controlId) {
    FocusControl(this, controlId, MovePointerToFocus, true);
}

void SetupDialog::CloseDialog() {
    meter.reset();
    // WM_QUIT ends the loop once the current message has been handled.
    PostMessage(WM_QUIT, 0, 0);
    ::DestroyWindow(hwnd);
}

void SetupDialog::ShowStatus(const char* text) {
    SetStatusText(IDC_STATUS, text);
}

void SetupDialog::SetProgress(int percent) {
    if (meter != nullptr)
        meter->SetPercent(percent);
}

void SetupDialog::ReportFailure(const char* text) {
    ShowWarning(text, text::kSetupErrorCaption, nullptr);
    SetStatusText(IDC_STATUS, text::kNotSuccessful);
    FocusControl(IDCANCEL);
}

void SetupDialog::ReportPathFailure(const char* text) {
    ShowWarning(text, text::kSetupErrorCaption, nullptr);
    FocusControl(IDC_DIRECTORY);
}

void SetupDialog::ShowFinished() {
    ::EnableWindow(GetDlgItem(IDOK), FALSE);
    ::EnableWindow(GetDlgItem(IDC_DIRECTORY), FALSE);
    ::SetDlgItemTextA(hwnd, IDCANCEL, text::kExitLabel);
    for (QuickHelpEntry* row = quickHelpTable; row->controlId != 0; ++row) {
        if (row->controlId == IDCANCEL)
            row->templateId = IDD_HELP_EXIT;
    }
    FocusControl(IDCANCEL);
    BringWindowToTop();
}

void SetupDialog::OnPaint() {
    if (meter != nullptr) {
        meter->Paint();
        return;
    }
    // After CloseDialog the meter is gone; the paint cycle must still run, or the platform
    // would ask again and again.
    CPaintDC dc(this);
}

void SetupDialog::OnContextMenu(HWND, POINT screen) {
    ShowQuickHelp(this, screen.x, screen.y, quickHelpTable);
}

void SetupDialog::OnInstall() {
    // 260 bytes: at most 259 characters and the terminator.
    char directory[kPathSize];
    ::GetDlgItemTextA(hwnd, IDC_DIRECTORY, directory, sizeof directory);
    RunInstall(directory, static_cast<int>(::IsDlgButtonChecked(hwnd, IDC_DEVELOPER)));
}
