// gdi.cpp - creation and release of drawing contexts and GDI objects.
#include "framework/gdi.h"

#include "framework/wnd.h"

void CGdiObject::DeleteObject() {
    if (handle != nullptr && owned)
        ::DeleteObject(handle);
    handle = nullptr;
    owned = false;
}

bool CGdiObject::Attach(HGDIOBJ object, bool ownsObject) {
    DeleteObject();
    handle = object;
    owned = ownsObject && object != nullptr;
    return handle != nullptr;
}

bool CBitmap::LoadBitmap(uint32_t resourceId) {
    return Attach(::LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION),
                  true);
}

bool CBitmap::CreateDIBSection(const CDC& dc, int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bool made = Attach(
        ::CreateDIBSection(dc.GetSafeHdc(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0), true);
    if (bits != nullptr)
        *bits = pixels;
    return made;
}

bool CBitmap::GetBitmap(BITMAP* info) const {
    return handle != nullptr && ::GetObjectA(handle, sizeof(BITMAP), info) == sizeof(BITMAP);
}

CDC::~CDC() {
    if (created && hdc != nullptr)
        ::DeleteDC(hdc);
}

bool CDC::CreateCompatibleDC(const CDC& other) {
    if (created && hdc != nullptr)
        ::DeleteDC(hdc);
    hdc = ::CreateCompatibleDC(other.hdc);
    created = hdc != nullptr;
    return created;
}

CPaintDC::CPaintDC(CWnd* owner) : window(owner->hwnd) {
    hdc = ::BeginPaint(window, &paint);
}

CPaintDC::~CPaintDC() {
    ::EndPaint(window, &paint);
}
