// setup_driver.h - runs a real setup program and works its dialog from outside, as a user does.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/lower_case.h"
#include "tests/support/poll_until.h"

namespace e2e {

// The controls of the setup dialog that a user works with.
constexpr int kInstallButton = IDOK;
constexpr int kAbortButton = IDCANCEL;
constexpr int kStatusLine = 102;
constexpr int kDirectoryField = 104;
constexpr int kDeveloperBox = 114;

constexpr char kDialogTitle[] = "Lexivane - Installation";
constexpr char kSetupErrorCaption[] = "Lexivane Setup Error";
constexpr char kStartUpErrorCaption[] = "Lexivane StartUp Error";
constexpr char kSuccess[] = "Installation was successful.";
constexpr char kNotSuccessful[] = "Installation not successful.";

// A message box of the setup program, as read when it was found.
struct WarningBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    explicit operator bool() const { return window != nullptr; }
};

// A top-level window of another program, with the process that shows it.
struct ProgramWindow {
    HWND window = nullptr;
    DWORD processId = 0;
    std::string title;
    explicit operator bool() const { return window != nullptr; }
};

// The setup program of the build, with the demo product appended, as a Windows path.
std::filesystem::path BuiltSetupFile();
// A host path of the build (Wine shows the host's root as drive Z:) as a Windows path.
std::filesystem::path FromHostPath(const std::string& hostPath);

// One run of a setup program: a copy of it named LEXIVANE.EXE in a download directory,
// started with that directory as its current directory. The destructor ends the setup
// program if it still runs, and every program it started (the read-me viewer, the product),
// so that a failing test leaves nothing behind.
class SetupDriver {
  public:
    // Copies the given setup file into downloadDir (created if needed).
    explicit SetupDriver(const std::filesystem::path& downloadDir,
                         const std::filesystem::path& setupFile = BuiltSetupFile());
    // Writes the given bytes as the setup file instead.
    SetupDriver(const std::filesystem::path& downloadDir, const std::vector<unsigned char>& image);
    ~SetupDriver();
    SetupDriver(const SetupDriver&) = delete;
    SetupDriver& operator=(const SetupDriver&) = delete;

    const std::filesystem::path& SetupPath() const { return setupPath_; }
    bool Placed() const { return placed_; }

    // Starts the program and waits for its dialog.
    bool Start();
    // Starts the program without waiting for anything, for a start that shows no dialog.
    bool Launch();
    HWND Dialog() const { return dialog_; }
    DWORD ProcessId() const { return process_.dwProcessId; }

    // Typing and clicking. Buttons are pressed with posted clicks: Install runs the whole
    // installation inside its handler and may show a modal box, so nothing here waits for it.
    bool SetDirectory(const std::string& text);
    bool SetDeveloper(bool checked);
    void Press(int buttonId);
    // A key pressed and released as keyboard input, with the dialog in the foreground.
    bool PressKey(WORD virtualKey);
    // The close box: the system command that the title bar's close box sends.
    void PressCloseBox();

    // Waits until every message posted to the dialog before this call has been handled,
    // by the dialog's loop or by the modal loop of a box it shows.
    bool Settle();

    std::string Text(int controlId) const;
    bool Enabled(int controlId) const;
    bool Checked(int controlId) const;
    // The id of the dialog control that has the keyboard focus; 0 if none of them has it.
    int FocusId() const;
    // The selection of an edit control: first and one past the last character.
    std::pair<int, int> Selection(int controlId) const;

    // Waits for the status line to read `text`; false if it did not within the time.
    bool WaitForStatus(const std::string& text, DWORD milliseconds = kPatience) const;
    // Waits for a message box of the setup program; an empty box if none came.
    WarningBox WaitForBox(DWORD milliseconds = kPatience) const;
    // The message box shown now, if any, and every one shown now.
    WarningBox CurrentBox() const;
    std::vector<WarningBox> Boxes() const;
    // Presses OK on the box and waits for it to go.
    bool Dismiss(const WarningBox& box) const;

    // Waits for the setup program to end; its exit code, or -1 if it did not end in time.
    long WaitForExit(DWORD milliseconds = kPatience);
    bool Running() const;

    // Waits for a visible top-level window of a program that the setup program started,
    // whose title contains `titlePart` (compared without regard to case).
    ProgramWindow WaitForStartedWindow(const std::string& titlePart,
                                       DWORD milliseconds = kPatience) const;
    // The processes that the setup program started and that still run.
    std::vector<DWORD> StartedProcesses() const;

  private:
    std::filesystem::path downloadDir_;
    std::filesystem::path setupPath_;
    bool placed_ = false;
    PROCESS_INFORMATION process_ = {};
    HWND dialog_ = nullptr;
    DWORD dialogThread_ = 0;
    mutable unsigned settleCount_ = 0;
};

// Closes a program's window and waits for that program to end; false if it did not.
bool CloseProgram(const ProgramWindow& program, DWORD milliseconds = kPatience);

} // namespace e2e
