// bitmap_dialog.cpp - background tiling, transparent static controls, centering and focus.
#include "ui/bitmap_dialog.h"

const MessageMapEntry BitmapDialog::messageEntries[] = {
    {WM_CTLCOLOR, 0, &BitmapDialog::OnCtlColor},
    {WM_ERASEBKGND, 0, &BitmapDialog::OnEraseBkgnd},
    {0, 0, DefaultProcessing},
};
const MessageMap BitmapDialog::messageMap = {&CDialog::messageMap, messageEntries};

BitmapDialog::BitmapDialog(uint32_t templateId, uint32_t bitmapId, CWnd* parent,
                           int8_t centeringMode, int32_t initialFocus, bool movePointer)
    : parent(parent), templateId(templateId), initialFocus(initialFocus), bitmapId(bitmapId),
      movePointer(movePointer), centeringMode(centeringMode) {
    if (bitmapId != 0) {
        transparentBrush.CreateStockObject(HOLLOW_BRUSH);
        background.LoadBitmap(bitmapId);
    }
}

// The members release the brush, then the bitmap; then the framework dialog goes.
BitmapDialog::~BitmapDialog() = default;

BOOL BitmapDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterDialog();
    if (initialFocus != 0)
        FocusControl(this, initialFocus, movePointer, true);
    // True: the platform then puts the keyboard focus by its default rule.
    return TRUE;
}

void BitmapDialog::CenterDialog() {
    if (centeringMode == kCenterNone)
        return;
    RECT dialog;
    GetWindowRect(&dialog);
    int dw = dialog.right - dialog.left;
    int dh = dialog.bottom - dialog.top;
    RECT reference;
    ::GetWindowRect(parent != nullptr ? parent->hwnd : ::GetDesktopWindow(), &reference);
    int rw = reference.right - reference.left;
    int rh = reference.bottom - reference.top;
    // C++ division truncates toward zero, as the placement requires for odd differences.
    int dx = (rw - dw) / 2;
    // A child window's position is in its parent's client coordinates.
    POINT origin{reference.left, reference.top};
    if ((GetStyle() & WS_CHILD) != 0)
        origin = POINT{0, 0};
    int dy = centeringMode == kCenterAboveBottom ? (rh - dh) - dx : (rh - dh) / 2;
    SetWindowPos(nullptr, origin.x + dx, origin.y + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void BitmapDialog::FocusControl(CDialog* dialog, int32_t controlId, bool movePointer,
                                bool caretToEnd) {
    HWND control = dialog->GetDlgItem(controlId);
    // The dialog may be gone already: the user can close it while a warning box is up, and
    // the focus then goes nowhere and the pointer stays where it is.
    if (control == nullptr)
        return;
    // WM_NEXTDLGCTL with a window handle (flag 1) focuses it as keyboard navigation would:
    // a push button becomes the default button and an edit field has its text selected.
    dialog->SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (caretToEnd) {
        // Positions past the end are cut back to the text's length: nothing stays selected
        // and the caret sits behind the last character. Buttons ignore both requests.
        ::SendMessageA(control, EM_SETSEL, 0xFFFF, 0xFFFF);
        ::SendMessageA(control, EM_SCROLLCARET, 0, 0);
    }
    if (movePointer) {
        RECT rect{};
        if (!::GetWindowRect(control, &rect))
            return;
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
}

HBRUSH BitmapDialog::OnCtlColor(CDC& dc, HWND, UINT kind) {
    // Static texts, check boxes and read-only edit fields ask with CTLCOLOR_STATIC. They
    // then paint no background, and their text lies directly on the tiles.
    if (bitmapId != 0 && background.IsLoaded() && kind == CTLCOLOR_STATIC) {
        dc.SetBkMode(TRANSPARENT);
        return transparentBrush.Handle();
    }
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL BitmapDialog::OnEraseBkgnd(CDC& dc) {
    if (bitmapId == 0 || !background.IsLoaded())
        return static_cast<BOOL>(Default());
    BITMAP info;
    // A bitmap without size would never advance the loops below.
    if (!background.GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return static_cast<BOOL>(Default());
    int bw = info.bmWidth;
    int bh = info.bmHeight;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    ScopedSelect picture(memory, background);
    RECT client;
    GetClientRect(&client);
    // The last row and column of tiles are cut off by the client area.
    for (int y = 0; y < client.bottom; y += bh) {
        for (int x = 0; x < client.right; x += bw)
            dc.BitBlt(x, y, bw, bh, memory, 0, 0, SRCCOPY);
    }
    return TRUE;
}
