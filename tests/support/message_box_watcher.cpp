// message_box_watcher.cpp - finds this process's message boxes on a second thread and closes them.
#include "tests/support/message_box_watcher.h"

#include <chrono>

#include "tests/support/window_text.h"

namespace {

// The id of a message box's text control.
constexpr int kTextControlId = 0xFFFF;
// How long a box with a caption other than the expected one stays up.
constexpr auto kGracePeriod = std::chrono::seconds(5);

struct Search {
    HWND found = nullptr;
};

// The first visible dialog box that belongs to this process.
BOOL CALLBACK FindOwnDialog(HWND window, LPARAM parameter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        ClassName(window) != "#32770")
        return TRUE;
    reinterpret_cast<Search*>(parameter)->found = window;
    return FALSE;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM parameter) {
    SeenBox& box = *reinterpret_cast<SeenBox*>(parameter);
    if (!IsWindowVisible(child))
        return TRUE;
    std::string className = ClassName(child);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (className == "Button") {
        ++box.visibleButtons;
        if (GetDlgCtrlID(child) == IDOK)
            box.okButton = true;
    } else if (className == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
        DWORD_PTR icon = 0;
        SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_BLOCK, 2000, &icon);
        box.icon = reinterpret_cast<HICON>(icon);
    } else if (className == "Static" && box.text.empty()) {
        box.text = WindowText(child); // when the text control has an id of its own
    }
    return TRUE;
}

SeenBox Read(HWND window) {
    SeenBox box;
    box.caption = WindowText(window);
    box.owner = GetWindow(window, GW_OWNER);
    if (HWND text = GetDlgItem(window, kTextControlId))
        box.text = WindowText(text);
    EnumChildWindows(window, ReadChild, reinterpret_cast<LPARAM>(&box));
    return box;
}

} // namespace

MessageBoxWatcher::MessageBoxWatcher(std::string caption)
    : caption_(std::move(caption)), thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    Stop();
}

std::vector<SeenBox> MessageBoxWatcher::Stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void MessageBoxWatcher::Watch() {
    HWND pending = nullptr;
    auto pendingSince = std::chrono::steady_clock::now();
    while (!stop_) {
        Search search;
        EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&search));
        HWND box = search.found;
        if (!box) {
            Sleep(10);
            continue;
        }
        if (box != pending) {
            pending = box;
            pendingSince = std::chrono::steady_clock::now();
        }
        if (WindowText(box) != caption_ &&
            std::chrono::steady_clock::now() - pendingSince < kGracePeriod) {
            Sleep(10);
            continue;
        }
        SeenBox seen = Read(box);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back(seen);
        }
        // Pressing OK; the box's own thread runs the modal loop that handles it.
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        for (int i = 0; i < 500 && IsWindow(box); ++i)
            Sleep(10);
        pending = nullptr;
    }
}
