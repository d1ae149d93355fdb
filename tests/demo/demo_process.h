// demo_process.h - starting the staged demo programs from a test and finding their windows.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

// A staged payload file, as a Windows path (the build passes the host path of the payload).
std::filesystem::path PayloadFile(const char* name);

// Copies a staged payload file into a directory; false if the copy failed.
bool CopyPayloadFile(const char* name, const std::filesystem::path& dir);

// A started program; the handles are closed and a program still running is ended on
// destruction, so a failing test leaves nothing behind.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // CreateProcessA with this command line and current directory (empty: the test's own).
    bool Start(const std::string& commandLine, const std::string& currentDir = "");
    // Waits for the end; returns the exit code, or -1 if it did not end within the time.
    long Wait(DWORD milliseconds = 30000);
    DWORD Id() const { return info_.dwProcessId; }

  private:
    PROCESS_INFORMATION info_ = {};
};

// Runs a program to its end and returns its exit code (-1 if it could not start or hung).
long RunToEnd(const std::string& commandLine, const std::string& currentDir = "");

// Waits up to `milliseconds` for a visible top-level window of the process whose class is
// `className` (null: any class) and whose title is `title`; null if none appeared.
HWND WaitForWindow(DWORD processId, const char* className, const char* title,
                   DWORD milliseconds = 30000);

// Waits up to `milliseconds` for a file to exist and be non-empty.
bool WaitForFile(const std::filesystem::path& file, DWORD milliseconds = 30000);
