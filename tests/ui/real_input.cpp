// real_input.cpp - clicks and key strokes sent with SendInput, and waiting until they are handled.
#include "tests/ui/real_input.h"

#include <vector>

#include "tests/ui/screen_pixels.h"

namespace {

// Absolute pointer positions run from 0 to 65535 across the primary screen; the platform
// scales them back with a truncating division, so rounding up lands on the pixel itself.
LONG Normalized(LONG pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

INPUT Mouse(DWORD flags, POINT screen = POINT{0, 0}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = Normalized(screen.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalized(screen.y, GetSystemMetrics(SM_CYSCREEN));
    return input;
}

bool ClickAt(POINT screen, DWORD down, DWORD up) {
    INPUT inputs[] = {Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen), Mouse(down),
                      Mouse(up)};
    if (SendInput(3, inputs, sizeof(INPUT)) != 3)
        return false;
    POINT pointer{};
    GetCursorPos(&pointer);
    bool arrived = pointer.x == screen.x && pointer.y == screen.y;
    DrainInput();
    return arrived;
}

INPUT Key(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

// A menu opened by mistake (an edit field's own menu, say) would hold the thread in its modal
// loop for good. The menu loop dispatches timers, so this one ends such a menu, and the test
// fails instead of hanging.
void CALLBACK EndStrayMenu(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

} // namespace

bool LeftClickAt(POINT screen) {
    return ClickAt(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

bool RightClickAt(POINT screen) {
    return ClickAt(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(Key(key, 0));
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(Key(*--key, KEYEVENTF_KEYUP));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    DrainInput();
}

void DrainInput() {
    // Sent input waits in this thread's queue until a message loop takes it. The queue must
    // be found empty several times in a row: handling one message may queue the next (a
    // released button queues nothing, but a shown window queues its paint).
    DWORD deadline = GetTickCount() + 2000;
    UINT_PTR timer = SetTimer(nullptr, 0, 2500, EndStrayMenu);
    for (int quiet = 0; quiet < 3 && GetTickCount() < deadline;) {
        PumpMessages();
        if (HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0) {
            quiet = 0;
            continue;
        }
        ++quiet;
        Sleep(5);
    }
    KillTimer(nullptr, timer);
}
