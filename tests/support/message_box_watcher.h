// message_box_watcher.h - closes the warning boxes a test provokes, and records them.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a closed box showed.
struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;   // the box's owner window, null when it has none
    int visibleButtons = 0; // push buttons shown
    bool okButton = false;  // one of them is OK (IDOK)
    HICON icon = nullptr;   // the icon shown, null when none
};

// A modal message box blocks the thread that shows it, so a second thread looks for the
// dialog boxes (class "#32770") of this process, waits until one is shown, reads its caption,
// text, buttons and icon, and presses OK. A box with the expected caption is closed at once;
// any other box after a grace period, so that a wrong caption fails a test instead of
// hanging it.
class MessageBoxWatcher {
  public:
    explicit MessageBoxWatcher(std::string caption);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Ends the watching and returns the boxes closed so far, in order.
    std::vector<SeenBox> Stop();

  private:
    void Watch();

    std::string caption_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::thread thread_;
};
