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

constexpr DWORD kReadTimeout = 60000; // one read's limit; a read that times out is retried
constexpr int kReadAttempts = 10;     // so a dialog busy for ten minutes still answers

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A control's text through the dialog's own thread, with a time limit. A read that times
// out while the process still runs is tried again: the dialog answers only between its
// synchronous steps, and a large installation keeps it busy for long.
bool ReadText(HANDLE process, HWND control, char* text, int size) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD_PTR copied = 0;
        text[0] = 0;
        SetLastError(0);
        if (SendMessageTimeoutA(control, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text),
                                SMTO_NORMAL, kReadTimeout, &copied) != 0)
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_TIMEOUT && error != 0) ||
            WaitForSingleObject(process, 0) != WAIT_TIMEOUT)
            return false;
    }
    return false;
}

struct DialogSearch {
    DWORD process;
    HWND window;
};

// The setup dialog is the dialog-class window of the started process that has the
// directory field. Its title is there from the window's creation on, before the controls
// and their initialisation, so the title says nothing about whether it is ready.
BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && ClassOf(window) == "#32770" &&
        GetDlgItem(window, kDirectory) != nullptr) {
        search->window = window;
        return FALSE;
    }
    return TRUE;
}

// Waits until the setup dialog is initialised: shown (a dialog with the visible style is
// shown only after its initialisation has run) and its directory field filled with the
// default. A directory typed before that moment would be overwritten by the initialisation.
HWND WaitForDialog(const PROCESS_INFORMATION& info) {
    for (int i = 0; i < 6000; ++i) {
        if (WaitForSingleObject(info.hProcess, 0) != WAIT_TIMEOUT)
            return nullptr;
        DialogSearch search = {info.dwProcessId, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        char directory[MAX_PATH];
        if (search.window != nullptr && IsWindowVisible(search.window) &&
            ReadText(info.hProcess, GetDlgItem(search.window, kDirectory), directory,
                     sizeof directory) &&
            directory[0] != 0)
            return search.window;
        Sleep(10);
    }
    return nullptr;
}

// Types the directory and ticks the developer box, and reads both back.
bool FillIn(HANDLE process, HWND dialog, const char* directory) {
    HWND field = GetDlgItem(dialog, kDirectory);
    HWND box = GetDlgItem(dialog, kDeveloper);
    DWORD_PTR result = 0;
    char text[MAX_PATH];
    return SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(directory),
                               SMTO_NORMAL, kReadTimeout, &result) &&
           ReadText(process, field, text, sizeof text) && std::strcmp(text, directory) == 0 &&
           SendMessageTimeoutA(box, BM_SETCHECK, BST_CHECKED, 0, SMTO_NORMAL, kReadTimeout,
                               &result) &&
           SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_NORMAL, kReadTimeout, &result) &&
           result == BST_CHECKED;
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
    HWND dialog = WaitForDialog(info);
    int result = 1;
    if (dialog == nullptr) {
        std::fprintf(stderr, "install_timer: the setup dialog did not appear\n");
    } else if (!FillIn(info.hProcess, dialog, argv[2])) {
        std::fprintf(stderr, "install_timer: the dialog did not take the directory (%lu)\n",
                     GetLastError());
    } else {
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        unsigned long long pressed = Now();
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        char status[300] = "";
        // The status line is read between the dialog's synchronous repaints; a reading
        // blocks while the dialog is busy and answers as soon as it takes messages again.
        for (;;) {
            if (!ReadText(info.hProcess, GetDlgItem(dialog, kStatus), status, sizeof status)) {
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
