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
    return Attach(::LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)), true);
}

bool CBitmap::CreateCompatibleBitmap(const CDC& dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc.GetSafeHdc(), width, height), true);
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
