// test_e2e_protected.cpp - the real setup program refuses to empty a directory whose loss the
// user cannot have meant: a drive, the directory holding the setup program or one above it,
// the system's folders, the user's profile and its standard folders.
//
// A refusal that failed would delete what is in the directory. So the user's folders are
// tried only in a Wine prefix of this test's own whose home is a directory of the build (the
// build's CTest entry sets both up), the folders that the test owns hold canary files, and
// the system's folders are tried only after a refusal in the same run has been seen to work.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/host_side.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

constexpr char kCanary[] = "lxv-canary.txt";

// The refusal names the directory as the setup holds it: lower case, no trailing backslash.
std::string RefusalText(const std::string& typed) {
    std::string named = Lower(typed);
    if (!named.empty() && named.back() == '\\')
        named.pop_back();
    return "The directory\n" + named +
           "\nwill not be emptied: it is a drive, a system or user folder, or it holds this "
           "setup program.\n\nPlease choose a new directory of its own for Lexivane.";
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR wide = nullptr;
    std::string path;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &wide)))
        path = fs::path(wide).string();
    CoTaskMemFree(wide);
    return path;
}

class Protected : public SetupTest {
  protected:
    // Types the directory, presses Install and expects the refusal, after which the dialog
    // waits at the directory field with the status unchanged. A run that goes ahead instead
    // shows at once in the status line.
    static void ExpectRefused(SetupDriver& setup, const std::string& typed) {
        SCOPED_TRACE(typed);
        ASSERT_TRUE(setup.SetDirectory(typed));
        setup.Press(kInstallButton);
        WarningBox box;
        PollUntil([&] { return (box = setup.CurrentBox()) || !setup.Text(kStatusLine).empty(); });
        ASSERT_TRUE(box) << "not refused; the status reads \"" << setup.Text(kStatusLine) << "\"";
        EXPECT_EQ(kSetupErrorCaption, box.caption);
        EXPECT_EQ(RefusalText(typed), box.text);
        ASSERT_TRUE(setup.Dismiss(box));
        ASSERT_TRUE(setup.Settle());
        EXPECT_EQ("", setup.Text(kStatusLine));
        EXPECT_EQ(kDirectoryField, setup.FocusId());
        EXPECT_FALSE(setup.CurrentBox());
    }

    static void Canary(const fs::path& dir) { WriteFileText(dir / kCanary, "still here"); }
    static bool CanaryAlive(const fs::path& dir) {
        return ReadFileText(dir / kCanary) == "still here";
    }

    // True when the user's folders lie in the home that the build made for this test: a
    // file written into Documents shows up there.
    static bool UserFoldersAreTheTestsOwn() {
        fs::path documents = KnownFolder(FOLDERID_Documents);
        fs::path home = FromHostPath(LXV_E2E_HOME);
        if (documents.empty())
            return false;
        WriteFileText(documents / "lxv-home-probe.txt", "probe");
        bool own = ReadFileText(home / "lxv-home-probe.txt") == "probe";
        std::error_code ec;
        fs::remove(documents / "lxv-home-probe.txt", ec);
        return own;
    }
};

TEST_F(Protected, DownloadDirectoryAndTheDirectoriesAboveIt) {
    fs::create_directories(DownloadDir());
    Canary(DownloadDir());
    Canary(work_.path());
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());

    std::string download = DownloadDir().string();
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, download));
    // Other spellings of the same directory.
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, download + "\\"));
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, Lower(download)));
    std::string forward = download;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, forward));
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, (DownloadDir() / "..").string() + "\\download"));
    // The directories above it.
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, work_.path().string()));
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, (DownloadDir() / "..").string()));
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, work_.path().parent_path().string()));

    EXPECT_TRUE(CanaryAlive(DownloadDir()));
    EXPECT_TRUE(CanaryAlive(work_.path()));
    EXPECT_TRUE(SameBytes(BuiltSetupFile(), setup.SetupPath()));
    setup.Press(kAbortButton);
    EXPECT_EQ(0, setup.WaitForExit());
}

// The download directory by its short (8.3) name, which the file system resolves to the same
// directory.
TEST_F(Protected, DownloadDirectoryByItsShortName) {
    fs::create_directories(DownloadDir());
    Canary(DownloadDir());
    char shortName[MAX_PATH] = {};
    DWORD length = GetShortPathNameA(DownloadDir().string().c_str(), shortName, sizeof shortName);
    ASSERT_TRUE(length > 0 && length < sizeof shortName);
    if (Lower(shortName) == Lower(DownloadDir().string()))
        GTEST_SKIP() << "the file system gives the directory no other name";
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ExpectRefused(setup, shortName);
    EXPECT_TRUE(CanaryAlive(DownloadDir()));
    EXPECT_EQ(std::set<std::string>({"lexivane.exe", Lower(kCanary)}), NamesIn(DownloadDir()));
}

// The download directory with the prefix that takes a path past the usual length checks.
TEST_F(Protected, DownloadDirectoryWithTheExtendedPathPrefix) {
    fs::create_directories(DownloadDir());
    Canary(DownloadDir());
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ExpectRefused(setup, "\\\\?\\" + DownloadDir().string());
    EXPECT_TRUE(CanaryAlive(DownloadDir()));
    EXPECT_EQ(std::set<std::string>({"lexivane.exe", Lower(kCanary)}), NamesIn(DownloadDir()));
}

// The download directory through the host's drive: Wine shows the host's root as Z:, so the
// same directory has a second path, as a junction or a link gives it one on Windows.
TEST_F(Protected, DownloadDirectoryThroughAnotherDrive) {
    fs::create_directories(DownloadDir());
    Canary(DownloadDir());
    std::string host = UnixPath(DownloadDir());
    size_t drive = host.find("/dosdevices/c:/");
    if (host.empty() || drive == std::string::npos)
        GTEST_SKIP() << "needs Wine's host drive";
    host.replace(drive, std::strlen("/dosdevices/c:/"), "/drive_c/");
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ExpectRefused(setup, FromHostPath(host).string());
    EXPECT_TRUE(CanaryAlive(DownloadDir()));
    EXPECT_EQ(std::set<std::string>({"lexivane.exe", Lower(kCanary)}), NamesIn(DownloadDir()));
}

TEST_F(Protected, UserProfileAndItsFolders) {
    if (!UserFoldersAreTheTestsOwn())
        GTEST_SKIP() << "the user's folders are not this test's own: run it through CTest";
    std::vector<std::string> folders = {
        KnownFolder(FOLDERID_Profile),
        KnownFolder(FOLDERID_Documents),
        KnownFolder(FOLDERID_Desktop),
        KnownFolder(FOLDERID_Downloads),
        KnownFolder(FOLDERID_Pictures),
        KnownFolder(FOLDERID_Music),
        KnownFolder(FOLDERID_Videos),
        KnownFolder(FOLDERID_RoamingAppData),
        KnownFolder(FOLDERID_LocalAppData),
        fs::path(KnownFolder(FOLDERID_Profile)).parent_path().string(),
    };
    for (const std::string& folder : folders) {
        ASSERT_FALSE(folder.empty());
        Canary(folder);
    }

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    for (const std::string& folder : folders) {
        ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, folder));
        for (const std::string& each : folders)
            ASSERT_TRUE(CanaryAlive(each)) << each << " lost its canary at " << folder;
    }
    setup.Press(kAbortButton);
    EXPECT_EQ(0, setup.WaitForExit());
    for (const std::string& folder : folders)
        fs::remove(fs::path(folder) / kCanary);
}

// Documents by its short name.
TEST_F(Protected, DocumentsByItsShortName) {
    if (!UserFoldersAreTheTestsOwn())
        GTEST_SKIP() << "the user's folders are not this test's own: run it through CTest";
    std::string documents = KnownFolder(FOLDERID_Documents);
    char shortName[MAX_PATH] = {};
    DWORD length = GetShortPathNameA(documents.c_str(), shortName, sizeof shortName);
    ASSERT_TRUE(length > 0 && length < sizeof shortName);
    if (Lower(shortName) == Lower(documents))
        GTEST_SKIP() << "the file system gives Documents no other name";
    Canary(documents);
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ExpectRefused(setup, shortName);
    EXPECT_TRUE(CanaryAlive(documents));
    fs::remove(fs::path(documents) / kCanary);
}

// Documents through the host path of the home that Wine links it to, as
// "C:\Documents and Settings\<user>" leads to the profile on Windows.
TEST_F(Protected, DocumentsThroughAnotherPathToIt) {
    if (!UserFoldersAreTheTestsOwn())
        GTEST_SKIP() << "the user's folders are not this test's own: run it through CTest";
    std::string documents = KnownFolder(FOLDERID_Documents);
    Canary(documents);
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ExpectRefused(setup, FromHostPath(LXV_E2E_HOME).string());
    EXPECT_TRUE(CanaryAlive(documents));
    fs::remove(fs::path(documents) / kCanary);
}

TEST_F(Protected, DriveAndSystemFolders) {
    if (!UserFoldersAreTheTestsOwn())
        GTEST_SKIP() << "the system's folders are tried only in this test's own Wine prefix";
    char windows[MAX_PATH] = {}, system[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    ASSERT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
    fs::path notepad = fs::path(windows) / "notepad.exe";
    ASSERT_TRUE(fs::exists(notepad));

    fs::create_directories(DownloadDir());
    Canary(DownloadDir());
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    // First a refusal that can be seen to hold: only then the folders without canaries.
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, DownloadDir().string()));
    ASSERT_TRUE(CanaryAlive(DownloadDir()));

    std::vector<std::string> folders = {
        "C:\\",
        "C:",
        windows,
        system,
        KnownFolder(FOLDERID_ProgramFiles),
        KnownFolder(FOLDERID_ProgramFilesX86),
        KnownFolder(FOLDERID_ProgramData),
    };
    for (const std::string& folder : folders) {
        ASSERT_FALSE(folder.empty());
        ASSERT_NO_FATAL_FAILURE(ExpectRefused(setup, folder));
        ASSERT_TRUE(fs::exists(notepad)) << "emptied at " << folder;
    }
    setup.Press(kAbortButton);
    EXPECT_EQ(0, setup.WaitForExit());
}

} // namespace
} // namespace e2e
