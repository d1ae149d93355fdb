// screenshot.cpp - reads the screen through a DIB section and writes it as a BMP file.
#include "tests/e2e/screenshot.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tests/e2e/setup_driver.h"

namespace e2e {

void RepaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

bool SaveScreenshot(const std::string& name) {
    std::filesystem::path dir = FromHostPath(LXV_E2E_SCREENSHOTS);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const int stride = (width * 3 + 3) & ~3;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height; // bottom-up, as a BMP file stores its rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride) * height;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    bool ok = section != nullptr;
    if (ok) {
        HGDIOBJ previous = SelectObject(memory, section);
        ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, previous);
    }
    if (ok) {
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + info.biSizeImage;
        std::string path = (dir / (name + ".bmp")).string();
        FILE* out = std::fopen(path.c_str(), "wb");
        ok = out != nullptr && std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info, sizeof info, 1, out) == 1 &&
             std::fwrite(bits, 1, info.biSizeImage, out) == info.biSizeImage;
        if (out != nullptr && std::fclose(out) != 0)
            ok = false;
    }
    if (section != nullptr)
        DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace e2e
