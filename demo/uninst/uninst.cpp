// uninst.cpp - the product's uninstaller: removes the program group named by its argument and
// every file installed beside the uninstaller.
//
// The setup's "UnInstall Lexivane.Lnk" starts it with the argument "Lexivane". The group name
// is checked before anything is touched, so that no argument can reach outside the Programs
// folder. A running program cannot delete its own file, so uninst.exe stays behind in the
// emptied folder and says so. Exit codes: 0 removed, 1 refused, 2 cancelled, 3 incomplete.
#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "demo/uninst/remove_tree.h"
#include "demo/uninst/uninst_args.h"

namespace {

const char kCaption[] = "Lexivane Uninstall";

enum ExitCode { kRemoved = 0, kRefused = 1, kCancelled = 2, kIncomplete = 3 };

__attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3))) int Ask(UINT style, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args); // a cut message is still worth showing
    va_end(args);
    return MessageBoxA(nullptr, text, kCaption, style);
}

// Splits the full path of this program into its directory (no trailing backslash) and its
// file name, both in `path`. Fails when the path does not fit.
bool FindOwnFile(char* path, size_t size, const char** name) {
    DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(size));
    if (length == 0 || length >= size)
        return false;
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr)
        return false;
    *slash = '\0';
    *name = slash + 1;
    return true;
}

// A drive ("C:") or a network share ("\\server\share") as a whole: emptying it would take far
// more than one product, so the uninstaller refuses to run from there.
bool IsRootDirectory(const char* dir) {
    size_t length = std::strlen(dir);
    if (length <= 2)
        return true;
    if (dir[0] == '\\' && dir[1] == '\\') {
        const char* share = std::strchr(dir + 2, '\\');
        return share == nullptr || std::strchr(share + 1, '\\') == nullptr;
    }
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    UninstallArguments arguments;
    bool parsed = ParseUninstallArguments(commandLine, &arguments);
    bool quiet = arguments.quiet;
    if (!parsed || !IsSafeGroupName(arguments.group)) {
        if (!quiet)
            Ask(MB_OK | MB_ICONWARNING, "Usage: uninst.exe <program group> [/quiet]\n\n"
                                        "The program group must be the name of one folder in "
                                        "the Programs folder of the Start menu.");
        return kRefused;
    }

    char ownDir[MAX_PATH];
    const char* ownName = nullptr;
    if (!FindOwnFile(ownDir, sizeof ownDir, &ownName) || IsRootDirectory(ownDir)) {
        if (!quiet)
            Ask(MB_OK | MB_ICONWARNING, "The uninstaller must be run from the folder in which "
                                        "Lexivane is installed.");
        return kRefused;
    }

    char programs[MAX_PATH];
    char group[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs))) {
        if (!quiet)
            Ask(MB_OK | MB_ICONWARNING, "The Programs folder of the Start menu was not found.");
        return kRefused;
    }
    int length = std::snprintf(group, sizeof group, "%s\\%s", programs, arguments.group);
    if (length < 0 || static_cast<size_t>(length) >= sizeof group) {
        if (!quiet)
            Ask(MB_OK | MB_ICONWARNING, "The program group's path is too long.");
        return kRefused;
    }

    if (!quiet && Ask(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                      "Remove Lexivane?\n\nThis deletes the program group \"%s\" and every file "
                      "and folder in\n%s\nexcept the uninstaller itself.",
                      arguments.group, ownDir) != IDYES)
        return kCancelled;

    RemovalResult result = {};
    RemoveDirectoryTree(group, &result);
    RemoveDirectoryContents(ownDir, ownName, &result);
    if (result.failures != 0) {
        if (!quiet)
            Ask(MB_OK | MB_ICONWARNING,
                "%d item(s) could not be removed, the first of them:\n%s\n\n"
                "Close Lexivane and run the uninstaller again.",
                result.failures, result.firstFailure);
        return kIncomplete;
    }
    if (!quiet)
        Ask(MB_OK | MB_ICONINFORMATION,
            "Lexivane has been removed.\n\nThe uninstaller %s remains in\n%s\n"
            "Delete it and the folder when it has closed.",
            ownName, ownDir);
    return kRemoved;
}
