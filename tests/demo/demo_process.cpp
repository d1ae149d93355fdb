// demo_process.cpp - starting the staged demo programs and finding their windows.
#include "tests/demo/demo_process.h"

#include <algorithm>
#include <system_error>

#include "tests/support/process_tree.h"

namespace fs = std::filesystem;

fs::path PayloadFile(const char* name) {
    // Wine maps the host's root to drive Z:.
    std::string dir = LXV_DEMO_PAYLOAD;
    if (!dir.empty() && dir[0] == '/')
        dir = "Z:" + dir;
    std::replace(dir.begin(), dir.end(), '/', '\\');
    return fs::path(dir) / name;
}

bool CopyPayloadFile(const char* name, const fs::path& dir) {
    return CopyFileA(PayloadFile(name).string().c_str(), (dir / name).string().c_str(), FALSE);
}

ChildProcess::~ChildProcess() {
    if (info_.hProcess != nullptr) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& currentDir) {
    std::string line = commandLine; // CreateProcessA may write into its command line
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                          currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info_);
}

long ChildProcess::Wait(DWORD milliseconds) {
    return WaitForExitCode(info_.hProcess, milliseconds);
}

long RunToEnd(const std::string& commandLine, const std::string& currentDir) {
    ChildProcess child;
    if (!child.Start(commandLine, currentDir))
        return -1;
    return child.Wait();
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window))
        return TRUE;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(text) != search.title ||
        (search.className != nullptr && std::string(className) != search.className))
        return TRUE;
    search.found = window;
    return FALSE;
}

} // namespace

HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 20) {
        WindowSearch search = {processId, className, title, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(20);
    }
    return nullptr;
}

bool WaitForFile(const fs::path& file, DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 20) {
        std::error_code ec;
        if (fs::file_size(file, ec) > 0 && !ec)
            return true;
        Sleep(20);
    }
    return false;
}
