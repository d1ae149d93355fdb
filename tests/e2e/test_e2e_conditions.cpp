// test_e2e_conditions.cpp - the real setup program meets a machine in a state that an
// installation must not run into blindly: a volume too small, a file in the directory still in use,
// an install directory that is a link, a second copy of itself, a download directory outside the
// code page. What would fail half-way is refused before anything is deleted; what can go ahead
// does.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/host_side.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

// Every file of a standard installation holds the bytes of its source, and nothing else is
// in the directory.
void ExpectStandardFiles(const fs::path& dir) {
    std::set<std::string> expected;
    for (const std::string& name : PayloadNames()) {
        if (IsDeveloperOnly(name))
            continue;
        expected.insert(name);
        EXPECT_TRUE(SameBytes(PayloadDir() / name, dir / name)) << name;
    }
    EXPECT_EQ(expected, NamesIn(dir));
}

class Conditions : public SetupTest {};

TEST_F(Conditions, FileInUseIsNamedBeforeAnythingIsDeleted) {
    std::string typed = Dir("InUse");
    fs::create_directories(fs::path(typed) / "sub");
    WriteFileText(fs::path(typed) / "lxv.exe", "the old program");
    WriteFileText(fs::path(typed) / "notes.txt", "mine");
    WriteFileText(fs::path(typed) / "sub" / "deep.txt", "mine too");
    // This test's own process holds the file, open without sharing, as a running product
    // holds its files.
    fs::path held = fs::path(typed) / "sub" / "held.dat";
    WriteFileText(held, "in use");
    HANDLE holder = CreateFileW(held.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    ExpectOneBox(setup, "Could not create file\n" + Lower(typed) +
                            "\\sub\\held.dat\n\nThis may be because\nLexivane is already "
                            "running,\nor you may be out of disk space.");
    EXPECT_TRUE(setup.WaitForStatus(kNotSuccessful)) << setup.Text(kStatusLine);
    // Nothing was deleted, nothing written.
    EXPECT_EQ("the old program", ReadFileText(fs::path(typed) / "lxv.exe"));
    EXPECT_EQ("mine", ReadFileText(fs::path(typed) / "notes.txt"));
    EXPECT_EQ("mine too", ReadFileText(fs::path(typed) / "sub" / "deep.txt"));
    EXPECT_EQ(std::set<std::string>({"lxv.exe", "notes.txt", "sub"}), NamesIn(typed));
    EXPECT_FALSE(fs::exists(GroupFolder()));

    // Once the file is free, the same directory is emptied and installed.
    CloseHandle(holder);
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.WaitForStatus(kSuccess)) << setup.CurrentBox().text;
    ExpectStandardFiles(typed);
}

TEST_F(Conditions, InstallDirectoryThatIsALinkIsRefused) {
    if (!UnderWine())
        GTEST_SKIP() << "needs a host symbolic link";
    std::string target = Dir("Target");
    fs::create_directories(target);
    WriteFileText(fs::path(target) / "mine.txt", "mine");
    std::string typed = Dir("Linked");
    HostLink link(typed, UnixPath(target));
    ASSERT_TRUE(link.Present());
    // Wine shows a host link to a directory as a reparse point, as Windows shows a junction.
    DWORD attributes = GetFileAttributesA(typed.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this Wine does not show a host link as a reparse point";

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    ExpectOneBox(setup, "The directory\n" + Lower(typed) +
                            "\nwill not be emptied: it is a link (a junction or symbolic link) to "
                            "another directory, whose files would be deleted.\n\nPlease choose a "
                            "new directory of its own for Lexivane.");
    // A path failure: the status is unchanged and the directory field has the focus.
    EXPECT_EQ("", setup.Text(kStatusLine));
    EXPECT_EQ(kDirectoryField, setup.FocusId());
    EXPECT_EQ("mine", ReadFileText(fs::path(target) / "mine.txt"));
    EXPECT_EQ(std::set<std::string>({"mine.txt"}), NamesIn(target));
}

TEST_F(Conditions, SecondCopyIsRefusedAndTheFirstInstallsWhole) {
    SetupDriver first(DownloadDir());
    ASSERT_TRUE(first.Start());
    SetupDriver second(work_.path() / "again");
    ASSERT_TRUE(second.Launch());
    WarningBox box = second.WaitForBox();
    ASSERT_TRUE(box) << "the second copy started";
    EXPECT_EQ(kStartUpErrorCaption, box.caption);
    EXPECT_EQ("Lexivane Setup is already running.", box.text);

    // The first copy installs while the second one's box is up.
    std::string typed = Dir("First");
    ASSERT_TRUE(first.SetDirectory(typed));
    first.Press(kInstallButton);
    ASSERT_TRUE(first.WaitForStatus(kSuccess)) << first.CurrentBox().text;

    ASSERT_TRUE(second.Dismiss(box));
    EXPECT_EQ(0, second.WaitForExit());
    ExpectStandardFiles(typed);
}

TEST_F(Conditions, SetupFileInADirectoryOutsideTheCodePageInstalls) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs the Western code page 1252; this prefix has " << GetACP();
    // Cyrillic: "Downloads" and "Start menu", neither of which code page 1252 can hold.
    fs::path download = work_.path() / L"\u0417\u0430\u0433\u0440\u0443\u0437\u043a\u0438";
    fs::path programs = programs_.path() / L"\u041f\u0443\u0441\u043a";
    RedirectedProgramsFolder redirection(programs);
    for (const fs::path& dir : {download, programs}) {
        fs::create_directories(dir);
        wchar_t shortName[MAX_PATH] = {};
        DWORD length = GetShortPathNameW(dir.wstring().c_str(), shortName, MAX_PATH);
        ASSERT_TRUE(length > 0 && length < MAX_PATH);
        if (fs::path(shortName).filename() == dir.filename())
            GTEST_SKIP() << "the file system keeps no short names here";
    }

    SetupDriver setup(download);
    ASSERT_TRUE(setup.Start()) << "no dialog: " << setup.CurrentBox().text;
    std::string typed = Dir("Installed");
    ASSERT_TRUE(setup.SetDirectory(typed));
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.WaitForStatus(kSuccess)) << setup.CurrentBox().text;
    ASSERT_TRUE(setup.Settle());
    EXPECT_FALSE(setup.CurrentBox()) << setup.CurrentBox().text;
    ExpectStandardFiles(typed);
    std::set<std::string> links = NamesIn(programs / "Lexivane");
    EXPECT_EQ(1u, links.count("lexivane program.lnk"));
    EXPECT_EQ(1u, links.count("read me.lnk"));
    EXPECT_EQ(1u, links.count("uninstall lexivane.lnk"));
}

TEST_F(Conditions, InstallationIsMadeOnlyWhereItFitsOnceTheOldFilesAreGone) {
    // A volume of 224 KB (drive T:) with another file of 100 KB on it and the user's file of
    // 100 KB in the directory. The demo product takes about 150 KB in clusters of 4 KB: 24 KB
    // are free and the wipe would give back 100. Without the other file it fits, but only once
    // the user's file is gone.
    if (!UnderWine())
        GTEST_SKIP() << "needs a host tmpfs";
    SmallDrive drive('T', work_.path() / "volume", 224 * 1024);
    if (!drive.Ready())
        GTEST_SKIP() << "needs root, to mount a small tmpfs";
    const fs::path other = "T:\\other.bin", typed = "T:\\Lexivane";
    fs::create_directories(typed);
    WriteFileBytes(other, std::vector<unsigned char>(100 * 1024, 'o'));
    WriteFileBytes(typed / "user.txt", std::vector<unsigned char>(100 * 1024, 'u'));

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed.string()));
    setup.Press(kInstallButton);
    WarningBox box = setup.WaitForBox();
    ASSERT_TRUE(box) << "no warning box";
    EXPECT_EQ(kSetupErrorCaption, box.caption);
    // The demo's files in whole clusters, about 150 KB; what is free and would be freed.
    EXPECT_EQ(0u,
              box.text.find("There is not enough free space for Lexivane in\nt:\\lexivane\n\n1"))
        << box.text;
    EXPECT_NE(std::string::npos, box.text.find(" KB are needed, 124 KB are free.\n\n")) << box.text;
    ASSERT_TRUE(setup.Dismiss(box));
    ASSERT_TRUE(setup.Settle());
    EXPECT_EQ("", setup.Text(kStatusLine));
    EXPECT_EQ(kDirectoryField, setup.FocusId());
    EXPECT_EQ(std::set<std::string>{"user.txt"}, NamesIn(typed));

    fs::remove(other);
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.WaitForStatus("Installation was successful.")) << setup.CurrentBox().text;
    EXPECT_FALSE(fs::exists(typed / "user.txt"));
    for (const char* name : {"lxv.exe", "uninst.exe", "readme.txt"})
        EXPECT_TRUE(SameBytes(PayloadDir() / name, typed / name)) << name;
}

} // namespace
} // namespace e2e
