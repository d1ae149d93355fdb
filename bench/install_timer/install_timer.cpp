// install_timer.cpp - times one installation of a setup file, from the Install press to
// "Installation was successful.", the way a user would start it.
//
// usage: install_timer SETUP.EXE INSTALLDIR
// Prints "install_s <seconds>" and exits 0, or prints what went wrong and exits 1.
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kStatus = 102;
constexpr int kDirectory = 104;
constexpr int kDeveloper = 114;

struct Found {
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    Found* found = reinterpret_cast<Found*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char title[64];
    if (process == found->process && GetWindowTextA(window, title, sizeof title) > 0 &&
        std::strcmp(title, "Lexivane - Installation") == 0) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// The latest last-write time of the files below directory (recursively), as FILETIME ticks.
unsigned long long LatestWrite(const std::string& directory) {
    unsigned long long latest = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0)
            continue;
        unsigned long long time = (unsigned long long)found.ftLastWriteTime.dwHighDateTime << 32 |
                                  found.ftLastWriteTime.dwLowDateTime;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            time = LatestWrite(directory + "\\" + found.cFileName);
        if (time > latest)
            latest = time;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return latest;
}

// Copies every file below from into to through the C runtime in 4,096-byte writes, the way
// the extraction writes them: the floor that Wine's file system sets for any installer.
void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    static char buffer[4096];
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + "\\" + name, to + "\\" + name);
            continue;
        }
        FILE* in = std::fopen((from + "\\" + name).c_str(), "rb");
        FILE* out = std::fopen((to + "\\" + name).c_str(), "wb");
        size_t n;
        while (in != nullptr && out != nullptr &&
               (n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
            std::fwrite(buffer, 1, n, out);
        if (in != nullptr)
            std::fclose(in);
        if (out != nullptr)
            std::fclose(out);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

unsigned long long Now() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (unsigned long long)now.dwHighDateTime << 32 | now.dwLowDateTime;
}

bool ReadStatus(HWND dialog, char* text, int size) {
    DWORD_PTR copied = 0;
    return SendMessageTimeoutA(GetDlgItem(dialog, kStatus), WM_GETTEXT, size,
                               reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 60000, &copied) != 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: install_timer SETUP.EXE INSTALLDIR\n");
        return 2;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        std::fprintf(stderr, "install_timer: cannot start %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    Found found = {info.dwProcessId, nullptr};
    for (int i = 0; i < 6000 && found.window == nullptr; ++i) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window == nullptr)
            Sleep(10);
    }
    int result = 1;
    if (found.window == nullptr) {
        std::fprintf(stderr, "install_timer: the setup dialog did not appear\n");
    } else {
        SendMessageA(GetDlgItem(found.window, kDirectory), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(argv[2]));
        SendMessageA(GetDlgItem(found.window, kDeveloper), BM_SETCHECK, BST_CHECKED, 0);
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        unsigned long long pressed = Now();
        PostMessageA(GetDlgItem(found.window, IDOK), BM_CLICK, 0, 0);
        char status[300] = "";
        // The status line is read between the dialog's synchronous repaints; a reading
        // blocks while the dialog is busy and answers as soon as it takes messages again.
        for (;;) {
            if (!ReadStatus(found.window, status, sizeof status)) {
                std::fprintf(stderr, "install_timer: no answer from the dialog (%lu)\n",
                             GetLastError());
                break;
            }
            if (std::strcmp(status, "Installation was successful.") == 0 ||
                std::strcmp(status, "Installation not successful.") == 0)
                break;
            Sleep(5);
        }
        QueryPerformanceCounter(&now);
        double run = double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        if (std::strcmp(status, "Installation was successful.") == 0) {
            // The status line cannot be read while the dialog is busy, so the moments are
            // taken from the file system: the last file written ends the extraction, the
            // last shortcut written comes right before "Installation was successful.". The
            // run itself goes on to the completion sound and the read-me.
            char programs[MAX_PATH];
            SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
            unsigned long long files = LatestWrite(argv[2]);
            unsigned long long group = LatestWrite(std::string(programs) + "\\Lexivane");
            std::printf("extract_phase_s %.3f\n", (files - pressed) / 1e7);
            std::printf("install_s %.3f\n", ((group > files ? group : files) - pressed) / 1e7);
            std::printf("run_s %.3f\n", run);
            std::string copy = std::string(argv[2]) + "-copy";
            QueryPerformanceCounter(&start);
            CopyTree(argv[2], copy);
            QueryPerformanceCounter(&now);
            std::printf("wine_copy_s %.3f\n",
                        double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart));
            result = 0;
        } else {
            std::fprintf(stderr, "install_timer: the installation did not succeed: '%s'\n", status);
        }
    }
    // The product of a benchmark corpus is nothing to start: end the setup program here.
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return result;
}
