// x_screen.cpp - host commands that read the X screen (ImageMagick's import) and send input
// (xdotool), each finished when the file it writes last appears.
#include "tests/e2e/x_screen.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tests/e2e/host_side.h"
#include "tests/e2e/setup_driver.h"

namespace fs = std::filesystem;

namespace e2e {

namespace {

// Reads a binary PPM file (P6, 255 levels).
XScreenshot ReadPpm(const fs::path& path) {
    XScreenshot shot;
    FILE* in = std::fopen(path.string().c_str(), "rb");
    if (in == nullptr)
        return shot;
    int width = 0, height = 0, levels = 0;
    if (std::fscanf(in, "P6 %d %d %d", &width, &height, &levels) == 3 && levels == 255 &&
        width > 0 && height > 0 && std::fgetc(in) != EOF) {
        shot.rgb.resize(static_cast<size_t>(width) * height * 3);
        if (std::fread(shot.rgb.data(), 1, shot.rgb.size(), in) == shot.rgb.size()) {
            shot.width = width;
            shot.height = height;
        }
    }
    std::fclose(in);
    return shot;
}

} // namespace

COLORREF XScreenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFFFFFFFF;
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
}

long XScreenshot::CountDifferences(const XScreenshot& other, const RECT& area) const {
    long count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += At(x, y) != other.At(x, y);
    return count;
}

XScreenshot TakeXScreenshot(const std::string& name) {
    std::string dir = LXV_E2E_SCREENSHOTS;
    std::error_code ec;
    fs::create_directories(FromHostPath(dir), ec);
    std::string png = dir + "/" + name + ".png";
    std::string ppm = dir + "/" + name + ".ppm";
    if (!RunUntilDone("import -window root " + png + " && convert " + png + " ppm:" + ppm,
                      ppm + ".done"))
        return {};
    XScreenshot shot = ReadPpm(FromHostPath(ppm));
    fs::remove(FromHostPath(ppm), ec);
    fs::remove(FromHostPath(ppm + ".done"), ec);
    return shot;
}

bool XInput(const std::string& arguments) {
    std::string done = std::string(LXV_E2E_SCREENSHOTS) + "/xdotool.done";
    std::error_code ec;
    fs::create_directories(FromHostPath(LXV_E2E_SCREENSHOTS), ec);
    bool ok = RunUntilDone("xdotool " + arguments, done);
    fs::remove(FromHostPath(done), ec);
    return ok;
}

} // namespace e2e
