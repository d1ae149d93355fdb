// setup_driver.cpp - starting a setup program, finding its dialog and boxes, and working them.
#include "tests/e2e/setup_driver.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <system_error>

#include "tests/support/process_tree.h"
#include "tests/support/window_text.h"

namespace fs = std::filesystem;

namespace e2e {

namespace {

// A sent message that gets no answer within this time counts as unanswered.
constexpr UINT kSendTimeout = 10000;
// The id of a message box's text control.
constexpr int kBoxTextId = 0xFFFF;

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// WM_GETTEXT through the owning thread, with a time limit; the text is copied across
// processes by the system.
std::string SentText(HWND window) {
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (window == nullptr ||
        !SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, kSendTimeout, &copied))
        return {};
    return text;
}

struct DialogSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindSetupDialog(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<DialogSearch*>(parameter);
    if (ProcessOf(window) != search.process || !IsWindowVisible(window) ||
        WindowText(window) != kDialogTitle)
        return TRUE;
    search.found = window;
    return FALSE;
}

struct BoxSearch {
    DWORD process;
    HWND dialog;
    std::vector<HWND> found;
};

BOOL CALLBACK FindBoxes(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<BoxSearch*>(parameter);
    if (window != search.dialog && ProcessOf(window) == search.process && IsWindowVisible(window) &&
        ClassName(window) == "#32770")
        search.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK FirstStaticText(HWND child, LPARAM parameter) {
    auto& text = *reinterpret_cast<std::string*>(parameter);
    if (ClassName(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        return TRUE;
    text = SentText(child);
    return text.empty();
}

struct StartedSearch {
    std::vector<DWORD> processes;
    std::string titlePart;
    ProgramWindow found;
};

BOOL CALLBACK FindStartedWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<StartedSearch*>(parameter);
    DWORD process = ProcessOf(window);
    if (!IsWindowVisible(window) || std::find(search.processes.begin(), search.processes.end(),
                                              process) == search.processes.end())
        return TRUE;
    std::string title = WindowText(window);
    if (Lower(title).find(Lower(search.titlePart)) == std::string::npos)
        return TRUE;
    search.found = {window, process, title};
    return FALSE;
}

} // namespace

fs::path FromHostPath(const std::string& hostPath) {
    std::string path = hostPath;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

fs::path BuiltSetupFile() {
    return FromHostPath(LXV_SETUP_EXE);
}

SetupDriver::SetupDriver(const fs::path& downloadDir, const fs::path& setupFile)
    : downloadDir_(downloadDir), setupPath_(downloadDir / "LEXIVANE.EXE") {
    std::error_code ec;
    fs::create_directories(downloadDir_, ec);
    placed_ = fs::copy_file(setupFile, setupPath_, fs::copy_options::overwrite_existing, ec);
}

SetupDriver::SetupDriver(const fs::path& downloadDir, const std::vector<unsigned char>& image)
    : downloadDir_(downloadDir), setupPath_(downloadDir / "LEXIVANE.EXE") {
    std::error_code ec;
    fs::create_directories(downloadDir_, ec);
    std::ofstream out(setupPath_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    placed_ = out.good();
}

SetupDriver::~SetupDriver() {
    if (process_.hProcess == nullptr)
        return;
    // The setup program first, so that it starts nothing more; then what it started (the
    // read-me viewer, the product), which would run on by themselves.
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    // The handle is still open, so the id cannot have been given to another process.
    EndDescendants(process_.dwProcessId);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool SetupDriver::Launch() {
    if (!placed_ || process_.hProcess != nullptr)
        return false;
    // In UTF-16, so that a download directory outside the code page is reached as it is.
    std::wstring commandLine = L"\"" + setupPath_.wstring() + L"\"";
    std::wstring directory = downloadDir_.wstring();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(setupPath_.wstring().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, directory.c_str(), &startup, &process_)) {
        process_ = {};
        return false;
    }
    return true;
}

bool SetupDriver::Start() {
    if (!Launch())
        return false;
    bool shown = PollUntil([this] {
        DialogSearch search = {process_.dwProcessId, nullptr};
        EnumWindows(FindSetupDialog, reinterpret_cast<LPARAM>(&search));
        dialog_ = search.found;
        return dialog_ != nullptr || !Running();
    });
    if (!shown || dialog_ == nullptr)
        return false;
    dialogThread_ = GetWindowThreadProcessId(dialog_, nullptr);
    return Settle();
}

bool SetupDriver::SetDirectory(const std::string& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(GetDlgItem(dialog_, kDirectoryField), WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kSendTimeout, &result) &&
           Text(kDirectoryField) == text;
}

bool SetupDriver::SetDeveloper(bool checked) {
    if (Checked(kDeveloperBox) != checked) {
        PostMessageA(GetDlgItem(dialog_, kDeveloperBox), BM_CLICK, 0, 0);
        Settle();
    }
    return Checked(kDeveloperBox) == checked;
}

void SetupDriver::Press(int buttonId) {
    PostMessageA(GetDlgItem(dialog_, buttonId), BM_CLICK, 0, 0);
}

bool SetupDriver::PressKey(WORD virtualKey) {
    // The dialog must have the keyboard: real input goes to the foreground window's focus.
    SetForegroundWindow(dialog_);
    if (!PollUntil([this] { return GetForegroundWindow() == dialog_; }))
        return false;
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = virtualKey;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, keys, sizeof(INPUT)) == 2;
}

void SetupDriver::PressCloseBox() {
    PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool SetupDriver::Settle() {
    // Posted messages of one thread are handled in the order they were posted. The marker
    // is a text limit for the status line, which only typing would meet (and the status line
    // takes no typing); once it reads back, everything posted before it has been handled.
    HWND status = GetDlgItem(dialog_, kStatusLine);
    const WPARAM marker = 0x100000 + (++settleCount_ & 0xFFFF);
    if (!PostMessageA(status, EM_SETLIMITTEXT, marker, 0))
        return false;
    return PollUntil([&] {
        DWORD_PTR limit = 0;
        return SendMessageTimeoutA(status, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeout,
                                   &limit) &&
               limit == marker;
    });
}

std::string SetupDriver::Text(int controlId) const {
    return SentText(GetDlgItem(dialog_, controlId));
}

bool SetupDriver::Enabled(int controlId) const {
    return IsWindowEnabled(GetDlgItem(dialog_, controlId)) != FALSE;
}

bool SetupDriver::Checked(int controlId) const {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog_, controlId), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                        kSendTimeout, &state);
    return state == BST_CHECKED;
}

int SetupDriver::FocusId() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(dialogThread_, &info) || info.hwndFocus == nullptr ||
        GetParent(info.hwndFocus) != dialog_)
        return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

std::pair<int, int> SetupDriver::Selection(int controlId) const {
    DWORD_PTR range = 0;
    SendMessageTimeoutA(GetDlgItem(dialog_, controlId), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG,
                        kSendTimeout, &range);
    return {LOWORD(range), HIWORD(range)};
}

bool SetupDriver::WaitForStatus(const std::string& text, DWORD milliseconds) const {
    return PollUntil([&] { return Text(kStatusLine) == text; }, milliseconds);
}

std::vector<WarningBox> SetupDriver::Boxes() const {
    BoxSearch search = {process_.dwProcessId, dialog_, {}};
    EnumWindows(FindBoxes, reinterpret_cast<LPARAM>(&search));
    std::vector<WarningBox> boxes;
    for (HWND window : search.found) {
        WarningBox box;
        box.window = window;
        box.caption = WindowText(window);
        box.text = SentText(GetDlgItem(window, kBoxTextId));
        if (box.text.empty())
            EnumChildWindows(window, FirstStaticText, reinterpret_cast<LPARAM>(&box.text));
        boxes.push_back(box);
    }
    return boxes;
}

WarningBox SetupDriver::CurrentBox() const {
    std::vector<WarningBox> boxes = Boxes();
    return boxes.empty() ? WarningBox() : boxes.front();
}

WarningBox SetupDriver::WaitForBox(DWORD milliseconds) const {
    WarningBox box;
    PollUntil([&] { return static_cast<bool>(box = CurrentBox()); }, milliseconds);
    return box;
}

bool SetupDriver::Dismiss(const WarningBox& box) const {
    PostMessageA(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
    return PollUntil([&] { return !IsWindow(box.window); });
}

long SetupDriver::WaitForExit(DWORD milliseconds) {
    return WaitForExitCode(process_.hProcess, milliseconds);
}

bool SetupDriver::Running() const {
    return process_.hProcess != nullptr &&
           WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

ProgramWindow SetupDriver::WaitForStartedWindow(const std::string& titlePart,
                                                DWORD milliseconds) const {
    ProgramWindow found;
    PollUntil(
        [&] {
            StartedSearch search = {Descendants(process_.dwProcessId), titlePart, {}};
            EnumWindows(FindStartedWindow, reinterpret_cast<LPARAM>(&search));
            found = search.found;
            return static_cast<bool>(found);
        },
        milliseconds);
    return found;
}

std::vector<DWORD> SetupDriver::StartedProcesses() const {
    std::vector<DWORD> started;
    if (process_.hProcess == nullptr)
        return started;
    // Wine starts the programs of its session (the desktop, the services) on demand, as
    // children of whichever process first needs them, which can be the setup program. They
    // are Wine's, not programs that the setup program started.
    static const char* const kSessionPrograms[] = {"explorer.exe",   "services.exe", "rpcss.exe",
                                                   "winedevice.exe", "plugplay.exe", "svchost.exe",
                                                   "conhost.exe"};
    for (DWORD id : Descendants(process_.dwProcessId)) {
        std::string name = ProgramName(id);
        if (std::find(std::begin(kSessionPrograms), std::end(kSessionPrograms), name) ==
            std::end(kSessionPrograms))
            started.push_back(id);
    }
    return started;
}

bool CloseProgram(const ProgramWindow& program, DWORD milliseconds) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, program.processId);
    PostMessageA(program.window, WM_CLOSE, 0, 0);
    bool ended = process != nullptr && WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
    if (process != nullptr)
        CloseHandle(process);
    return ended;
}

} // namespace e2e
