// quick_help_panel.cpp - the panel's answers to the mouse, the keys and activation.
#include "ui/quick_help_panel.h"

#include "ui/quick_help.h"
#include "ui/quick_help_state.h"

const MessageMapEntry QuickHelpPanel::messageEntries[] = {
    {WM_LBUTTONUP, 0, &QuickHelpPanel::OnLButtonUp},
    {WM_RBUTTONUP, 0, &QuickHelpPanel::OnRButtonUp},
    {WM_COMMAND, IDCANCEL, &QuickHelpPanel::KeepOpen},
    {WM_COMMAND, IDOK, &QuickHelpPanel::KeepOpen},
    {WM_RBUTTONDOWN, 0, DefaultProcessing},
    {WM_LBUTTONDOWN, 0, DefaultProcessing},
    {WM_ACTIVATE, 0, &QuickHelpPanel::OnActivate},
    {0, 0, DefaultProcessing},
};
const MessageMap QuickHelpPanel::messageMap = {&BitmapDialog::messageMap, messageEntries};

QuickHelpPanel::QuickHelpPanel(uint32_t templateId, CDialog* owner)
    : BitmapDialog(templateId, quickHelpState.panelBitmapId, owner, kCenterNone, 0,
                   MovePointerToFocus) {
    Create(templateId, owner);
}

QuickHelpPanel::~QuickHelpPanel() = default;

// Both handlers below may delete this panel: they touch nothing of it afterwards.
void QuickHelpPanel::OnLButtonUp(UINT, POINT) {
    CloseQuickHelp();
}

void QuickHelpPanel::OnRButtonUp(UINT, POINT client) {
    POINT screen = client;
    ClientToScreen(&screen);
    ShowQuickHelp(quickHelpState.ownerDialog, screen.x, screen.y, quickHelpState.table);
}

// Whenever another window took the capture, the panel takes it back at its next activation
// change; nothing else of the platform's activation processing runs.
void QuickHelpPanel::OnActivate(UINT, HWND, BOOL) {
    ::SetCapture(hwnd);
}
