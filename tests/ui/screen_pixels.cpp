// screen_pixels.cpp - captures through a 32-bit DIB section, text measuring, and the message
// pump of the tests.
#include "tests/ui/screen_pixels.h"

#include <cstdio>

#include "framework/gdi.h"

namespace {

Pixels CaptureFrom(HDC source, int left, int top, int width, int height, int pixelLeft,
                   int pixelTop) {
    Pixels out(pixelLeft, pixelTop, width, height);
    CDC sourceContext(source);
    CDC memory;
    memory.CreateCompatibleDC(sourceContext);
    CBitmap section;
    void* bits = nullptr;
    section.CreateDIBSection(memory, width, height, &bits);
    ScopedSelect picture(memory, section);
    memory.BitBlt(0, 0, width, height, sourceContext, left, top, SRCCOPY);
    GdiFlush();
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    for (size_t i = 0; i < out.values.size(); ++i)
        out.values[i] = RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue);
    return out;
}

} // namespace

Pixels CaptureClient(HWND window, const RECT& area) {
    HDC dc = GetDC(window);
    Pixels out = CaptureFrom(dc, area.left, area.top, area.right - area.left,
                             area.bottom - area.top, area.left, area.top);
    ReleaseDC(window, dc);
    return out;
}

Pixels CaptureScreen(const RECT& area) {
    HDC dc = GetDC(nullptr);
    Pixels out = CaptureFrom(dc, area.left, area.top, area.right - area.left,
                             area.bottom - area.top, area.left, area.top);
    ReleaseDC(nullptr, dc);
    return out;
}

Pixels BitmapResourcePixels(UINT id) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    BITMAP size{};
    GetObjectA(bitmap, sizeof size, &size);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    Pixels out = CaptureFrom(memory, 0, 0, size.bmWidth, size.bmHeight, 0, 0);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return out;
}

bool Pixels::SaveBmp(const std::string& path) const {
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = stride * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::vector<unsigned char> row(stride);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = values[y * width + x];
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

bool TextFits(HWND control, SIZE* needed) {
    char text[1024] = {};
    GetWindowTextA(control, text, sizeof text);
    RECT client;
    GetClientRect(control, &client);
    UINT format = DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT;
    if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER)
        format |= DT_CENTER;
    HDC dc = GetDC(control);
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font);
    RECT used = client;
    DrawTextA(dc, text, -1, &used, format);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    *needed = SIZE{used.right - used.left, used.bottom - used.top};
    return needed->cx <= client.right && needed->cy <= client.bottom;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root != nullptr && IsDialogMessageA(root, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
