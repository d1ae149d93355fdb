// gdi.h - drawing contexts and GDI objects that release themselves when their scope ends.
#pragma once

#include <windows.h>

#include <cstdint>

class CWnd;
class CDC;

// Owns one GDI object and deletes it on destruction, unless it is a stock object, which
// belongs to the system. An object must be selected out of every context before it dies:
// declare it before the ScopedSelect that puts it into a context.
class CGdiObject {
  public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return handle; }
    bool IsLoaded() const { return handle != nullptr; }
    void DeleteObject();

  protected:
    bool Attach(HGDIOBJ object, bool owned);

    HGDIOBJ handle = nullptr;
    bool owned = false;
};

class CBitmap : public CGdiObject {
  public:
    // Loads a bitmap resource of the program's own module as a DIB section.
    bool LoadBitmap(uint32_t resourceId);
    // A top-down 32-bit DIB section to draw on off screen and copy from, in place of a
    // bitmap compatible with the display. The two give the same pixels on the screen, but
    // under Wine making a display-compatible bitmap, or selecting one into a memory context,
    // asks the display driver about the screen: three round trips to the Wine server each
    // time, and the meter and the background paint often during an installation.
    // bits, if given, receives the address of the pixels: rows of 32-bit BGRX values.
    bool CreateDIBSection(const CDC& dc, int width, int height, void** bits = nullptr);
    bool GetBitmap(BITMAP* info) const;
    HBITMAP Handle() const { return static_cast<HBITMAP>(handle); }
};

class CBrush : public CGdiObject {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { Attach(::CreateSolidBrush(colour), true); }
    bool CreateStockObject(int index) { return Attach(::GetStockObject(index), false); }
    HBRUSH Handle() const { return static_cast<HBRUSH>(handle); }
};

class CPen : public CGdiObject {
  public:
    CPen(int style, int width, COLORREF colour) { Attach(::CreatePen(style, width, colour), true); }
    HPEN Handle() const { return static_cast<HPEN>(handle); }
};

// A drawing context. Either attached to a context that someone else releases, or made by
// CreateCompatibleDC and then deleted here.
class CDC {
  public:
    CDC() = default;
    explicit CDC(HDC attached) : hdc(attached) {}
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    bool CreateCompatibleDC(const CDC& other);
    HDC GetSafeHdc() const { return hdc; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(hdc, object); }
    HGDIOBJ SelectObject(const CGdiObject& object) { return SelectObject(object.GetSafeHandle()); }
    int SetBkMode(int mode) { return ::SetBkMode(hdc, mode); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(hdc, colour); }
    bool GetTextMetrics(TEXTMETRICA* metrics) const { return ::GetTextMetricsA(hdc, metrics); }
    // True if some part of rect lies inside the context's clipping region.
    bool RectVisible(const RECT& rect) const { return ::RectVisible(hdc, &rect) != FALSE; }
    void FillRect(const RECT& rect, const CBrush& brush) { ::FillRect(hdc, &rect, brush.Handle()); }
    void TextOut(int x, int y, const char* text, int length) {
        ::TextOutA(hdc, x, y, text, length);
    }
    void BitBlt(int x, int y, int width, int height, const CDC& source, int sourceX, int sourceY,
                DWORD operation) {
        ::BitBlt(hdc, x, y, width, height, source.hdc, sourceX, sourceY, operation);
    }
    void MoveTo(int x, int y) { ::MoveToEx(hdc, x, y, nullptr); }
    void LineTo(int x, int y) { ::LineTo(hdc, x, y); }

  protected:
    HDC hdc = nullptr;

  private:
    bool created = false;
};

// One paint cycle of a window: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();

    PAINTSTRUCT paint{};

  private:
    HWND window;
};

// Selects an object into a context for the rest of the scope and selects the previous one
// back at its end, so that nested selections unwind in reverse order.
class ScopedSelect {
  public:
    ScopedSelect(CDC& dc, const CGdiObject& object) : dc(dc), previous(dc.SelectObject(object)) {}
    ~ScopedSelect() { dc.SelectObject(previous); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    CDC& dc;
    HGDIOBJ previous;
};
