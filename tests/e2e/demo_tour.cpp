// demo_tour.cpp - the main job of the setup program, shown without a display: installs the demo
// product as a user would, has the X server's picture taken at each step, and prints what was
// installed. scripts/run starts it on its private Xvfb.
//
// usage: demo_tour HOST-PATH-OF-SETUP.EXE HOST-SCREENSHOT-DIR
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/e2e/host_side.h"
#include "tests/e2e/install_checks.h"
#include "tests/e2e/setup_driver.h"
#include "tests/support/shell_objects.h"

namespace fs = std::filesystem;

namespace {

constexpr char kInstallDir[] = "C:\\Lexivane"; // the dialog's default

// Has the host take the X server's picture of the whole screen, as the user sees it, and waits
// until the PNG file is complete. Returns its host path, or "" if none came.
std::string TakePicture(const std::string& hostDir, const std::string& name) {
    std::string file = hostDir + "/run-" + name + ".png";
    fs::path windowsFile = e2e::FromHostPath(file);
    std::error_code ec;
    fs::remove(windowsFile, ec);
    // The root window in one read (xwd -root would rebuild it window by window and black out
    // a pop-up over a window of its colormap), under another name first, so that the picture
    // never shows half-written.
    std::string command =
        "import -window root '" + file + ".part.png' && mv '" + file + ".part.png' '" + file + "'";
    if (!RunOnHost(
            command, [&] { return fs::exists(windowsFile, ec); }, 20000))
        return {};
    return file;
}

void PrintPicture(const char* what, const std::string& file) {
    std::printf("  %-22s %s\n", what, file.empty() ? "(no picture: import failed)" : file.c_str());
}

// True once a file directly in dir has been written after the moment since.
bool WroteSince(const char* dir, const FILETIME& since) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(dir) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool wrote = false;
    do {
        wrote = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                CompareFileTime(&found.ftLastWriteTime, &since) > 0;
    } while (!wrote && FindNextFileA(search, &found));
    FindClose(search);
    return wrote;
}

// A picture while the install runs. The install runs synchronously on the dialog's thread and
// answers no message until it ends, so the thread is held for the picture instead: what the X
// server shows then is what the user sees at that moment. It is held once the first file has
// been written, so that the picture shows files being installed rather than the moment before
// (the demo product installs in a fraction of a second).
std::string PictureDuringInstall(e2e::SetupDriver& setup, const std::string& hostDir) {
    DWORD threadId = GetWindowThreadProcessId(setup.Dialog(), nullptr);
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId);
    FILETIME pressed;
    GetSystemTimeAsFileTime(&pressed);
    setup.Press(e2e::kInstallButton);
    bool held = false;
    for (int waited = 0; thread != nullptr && waited < 5000 && !held; waited += 2) {
        if (SuspendThread(thread) == static_cast<DWORD>(-1))
            break;
        held = WroteSince(kInstallDir, pressed);
        if (!held) {
            ResumeThread(thread);
            Sleep(2);
        }
    }
    std::string file = TakePicture(hostDir, "2-installing");
    if (held)
        ResumeThread(thread);
    if (thread != nullptr)
        CloseHandle(thread);
    return file;
}

void PrintInstalledFiles(const fs::path& dir) {
    std::error_code ec;
    int count = 0;
    std::uintmax_t bytes = 0;
    for (fs::recursive_directory_iterator it(dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        std::uintmax_t size = it->file_size(ec);
        std::printf("    %-32s %10s bytes\n", fs::relative(it->path(), dir, ec).string().c_str(),
                    std::to_string(size).c_str());
        ++count;
        bytes += size;
    }
    std::printf("  %d files, %s bytes, in %s\n", count, std::to_string(bytes).c_str(),
                dir.string().c_str());
}

void PrintShortcuts() {
    fs::path group = e2e::GroupFolder();
    std::error_code ec;
    std::printf("  program group %s:\n", group.string().c_str());
    for (fs::directory_iterator it(group, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        ShortcutContent link = ReadShortcut(it->path());
        std::printf("    %-36s -> %s%s%s\n", it->path().filename().string().c_str(),
                    link.loaded ? link.target.c_str() : "(unreadable)",
                    link.arguments.empty() ? "" : " ", link.arguments.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_tour SETUP.EXE HOST-SCREENSHOT-DIR\n");
        return 2;
    }
    const std::string hostDir = argv[2];
    const fs::path download = fs::temp_directory_path() / "lexivane-download";
    e2e::SetupDriver setup(download, e2e::FromHostPath(argv[1]));
    if (!setup.Placed() || !setup.Start()) {
        std::fprintf(stderr, "demo_tour: the setup program did not show its dialog\n");
        return 1;
    }
    std::printf("The setup program's main job, as a user does it:\n");
    PrintPicture("ready dialog:", TakePicture(hostDir, "1-ready"));

    PrintPicture("during the install:", PictureDuringInstall(setup, hostDir));
    if (!setup.WaitForStatus(e2e::kSuccess)) {
        e2e::WarningBox box = setup.CurrentBox();
        PrintPicture("failure:", TakePicture(hostDir, "3-failed"));
        std::fprintf(stderr, "demo_tour: the installation did not succeed: %s\n",
                     box ? box.text.c_str() : setup.Text(e2e::kStatusLine).c_str());
        return 1;
    }
    // The read-me opens, maximized, after the success is shown: a picture of it, then one of
    // the dialog once the user has closed the viewer.
    e2e::ProgramWindow readme = setup.WaitForStartedWindow("readme", 10000);
    if (readme) {
        Sleep(1000); // the viewer lays itself out again once maximized
        PrintPicture("read-me opened:", TakePicture(hostDir, "3-readme"));
        e2e::CloseProgram(readme);
    }
    PrintPicture("installed:", TakePicture(hostDir, "4-finished"));

    std::printf("Installed into %s:\n", kInstallDir);
    PrintInstalledFiles(kInstallDir);
    PrintShortcuts();

    // Exit, as the user would: the program ends and starts the product.
    setup.Press(e2e::kAbortButton);
    e2e::ProgramWindow product = setup.WaitForStartedWindow("Lexivane", 10000);
    if (product) {
        PrintPicture("product started:", TakePicture(hostDir, "5-product"));
        e2e::CloseProgram(product);
    }
    long exitCode = setup.WaitForExit();
    std::printf("The setup program ended with exit code %ld.\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}
