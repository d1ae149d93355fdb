// wnd.h - CWnd, a thin owner-less wrapper of one window handle.
#pragma once

#include <windows.h>

// A CWnd only names a window; it never destroys it. Dialogs, which do own their window,
// derive from it (CDialog).
class CWnd {
  public:
    CWnd() = default;
    explicit CWnd(HWND window) : hwnd(window) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd, id); }

    void GetWindowRect(RECT* rect) const { ::GetWindowRect(hwnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(hwnd, rect); }
    void ScreenToClient(POINT* point) const { ::ScreenToClient(hwnd, point); }
    void ClientToScreen(POINT* point) const { ::ClientToScreen(hwnd, point); }
    void ShowWindow(int command) const { ::ShowWindow(hwnd, command); }
    void UpdateWindow() const { ::UpdateWindow(hwnd); }
    void InvalidateRect(const RECT* rect, bool erase) const { ::InvalidateRect(hwnd, rect, erase); }
    void SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        ::SetWindowPos(hwnd, after, x, y, cx, cy, flags);
    }
    void BringWindowToTop() const { ::BringWindowToTop(hwnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(hwnd, message, wParam, lParam);
    }
    void PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        ::PostMessageA(hwnd, message, wParam, lParam);
    }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(hwnd, GWL_STYLE); }

    HWND hwnd = nullptr;
};
