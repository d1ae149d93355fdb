// dialog.cpp - modeless dialog creation and the routing of messages through message maps.
#include "framework/dialog.h"

#include <windowsx.h>

// The root of every chain: no rows of its own.
const MessageMapEntry CDialog::messageEntries[] = {
    {0, 0, DefaultProcessing},
};
const MessageMap CDialog::messageMap = {nullptr, messageEntries};

// Only the GUI thread runs dialogs.
const CDialog::CurrentMessage* CDialog::current = nullptr;

CDialog::~CDialog() {
    if (hwnd != nullptr)
        ::DestroyWindow(hwnd);
}

bool CDialog::Create(uint32_t templateId, CWnd* parent) {
    HWND parentWindow = parent != nullptr ? parent->hwnd : nullptr;
    return ::CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                parentWindow, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

// The dialog procedure only binds the object to its window. From then on the window is
// subclassed: WindowProc sees every message first and hands what the maps do not handle to
// the dialog class's own procedure, which is what Default() calls.
INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->hwnd = window;
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->platformProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    return dialog->OnInitDialog();
}

LRESULT CALLBACK CDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (message == WM_NCDESTROY) {
        // The window is going: unbind it, so that the object can tell and never touches
        // the handle again.
        WNDPROC platform = dialog->platformProc;
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(platform));
        ::SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->hwnd = nullptr;
        dialog->platformProc = nullptr;
        return ::CallWindowProcA(platform, window, message, wParam, lParam);
    }
    // A handler may delete its own dialog (a panel that closes itself), so nothing of the
    // object is touched once Dispatch returns.
    CurrentMessage here{window, dialog->platformProc, message, wParam, lParam};
    const CurrentMessage* outer = current;
    current = &here;
    LRESULT result = dialog->Dispatch(message, wParam, lParam);
    current = outer;
    return result;
}

LRESULT CDialog::Default() {
    return ::CallWindowProcA(current->platformProc, current->window, current->message,
                             current->wParam, current->lParam);
}

LRESULT CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    UINT key = message;
    UINT id = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        key = WM_CTLCOLOR;
    if (message == WM_COMMAND) {
        // Commands are clicks, the Enter and Escape keys (code 0) and accelerators (code 1);
        // other notifications of controls have no rows.
        if (HIWORD(wParam) > 1)
            return Default();
        id = LOWORD(wParam);
    }
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry* entry = map->entries; entry->message != 0; ++entry) {
            if (entry->message == key && entry->id == id)
                return Invoke(entry->handler, wParam, lParam);
        }
    }
    return Default();
}

LRESULT CDialog::Invoke(const MessageHandler& handler, WPARAM wParam, LPARAM lParam) {
    switch (handler.kind) {
    case MessageHandler::Default:
        return Default();
    case MessageHandler::Plain:
        (this->*handler.plain)();
        return 0;
    case MessageHandler::Point:
        (this->*handler.point)(static_cast<UINT>(wParam),
                               POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case MessageHandler::WindowPoint:
        (this->*handler.windowPoint)(reinterpret_cast<HWND>(wParam),
                                     POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case MessageHandler::ControlColour: {
        CDC dc(reinterpret_cast<HDC>(wParam));
        UINT kind = current->message - WM_CTLCOLORMSGBOX;
        return reinterpret_cast<LRESULT>(
            (this->*handler.controlColour)(dc, reinterpret_cast<HWND>(lParam), kind));
    }
    case MessageHandler::EraseBackground: {
        CDC dc(reinterpret_cast<HDC>(wParam));
        return (this->*handler.eraseBackground)(dc);
    }
    case MessageHandler::Activate:
        (this->*handler.activate)(LOWORD(wParam), reinterpret_cast<HWND>(lParam),
                                  HIWORD(wParam) != 0);
        return 0;
    }
    return Default();
}
