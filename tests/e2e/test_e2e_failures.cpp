// test_e2e_failures.cpp - installations by the real setup program that cannot succeed: a damaged
// setup file, a directory that cannot be made or is too long, a file that cannot be created,
// a full disk. Each is reported once, leaves the dialog usable and starts
// nothing at exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/support/process_tree.h"
#include "tests/e2e/host_side.h"
#include "tests/e2e/screenshot.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

constexpr char kDamaged[] = "Incomplete or damaged installation file!";
constexpr char kCannotCreatePath[] = "Could not create the path\n";

// The offset of the payload's marker in a setup file: the magic four times over, in one
// 16-byte record; the size of the file if there is none.
size_t MarkerOffset(const std::vector<unsigned char>& image) {
    for (size_t at = 0; at + 16 <= image.size(); at += 16)
        if (std::memcmp(&image[at], "ZOLTZOLTZOLTZOLT", 16) == 0)
            return at;
    return image.size();
}

class Failure : public SetupTest {
  protected:
    // After a failure the status says so, Abort has the focus and Install is ready again.
    static void ExpectFailedState(SetupDriver& setup) {
        ASSERT_TRUE(setup.WaitForStatus(kNotSuccessful)) << setup.Text(kStatusLine);
        ASSERT_TRUE(setup.Settle());
        EXPECT_EQ(kAbortButton, setup.FocusId());
        EXPECT_EQ("&Abort", setup.Text(kAbortButton));
        EXPECT_TRUE(setup.Enabled(kInstallButton));
        EXPECT_TRUE(setup.Enabled(kDirectoryField));
    }

    // After a directory that cannot be used the status is unchanged and the directory field
    // has the focus, with the caret behind the text and nothing selected.
    static void ExpectPathFailureState(SetupDriver& setup, const std::string& status) {
        ASSERT_TRUE(setup.Settle());
        EXPECT_EQ(status, setup.Text(kStatusLine));
        EXPECT_EQ(kDirectoryField, setup.FocusId());
        int length = static_cast<int>(setup.Text(kDirectoryField).size());
        EXPECT_EQ(std::make_pair(length, length), setup.Selection(kDirectoryField));
    }

    // Abort ends the program with exit code 0 and starts nothing.
    static void AbortStartsNothing(SetupDriver& setup) {
        setup.Press(kAbortButton);
        EXPECT_EQ(0, setup.WaitForExit());
        std::vector<DWORD> started = setup.StartedProcesses();
        EXPECT_TRUE(started.empty()) << ProgramName(started.front());
    }
};

TEST_F(Failure, TruncatedSetupFileIsReportedBeforeAnythingIsMade) {
    std::vector<unsigned char> image = ReadFileBytes(BuiltSetupFile());
    size_t marker = MarkerOffset(image);
    ASSERT_LT(marker, image.size());
    image.resize(marker + (image.size() - marker) / 2);
    SetupDriver setup(DownloadDir(), image);
    ASSERT_TRUE(setup.Start());
    std::string typed = Dir("Fresh");
    ASSERT_TRUE(setup.SetDirectory(typed));

    setup.Press(kInstallButton);
    WarningBox box = setup.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(kSetupErrorCaption, box.caption);
    EXPECT_EQ(kDamaged, box.text);
    RepaintNow(box.window);
    EXPECT_TRUE(SaveScreenshot("04-warning-damaged"));
    // The status changes only once the box is closed.
    EXPECT_EQ("", setup.Text(kStatusLine));
    ASSERT_TRUE(setup.Dismiss(box));
    ExpectFailedState(setup);
    EXPECT_FALSE(fs::exists(typed));

    // Install can be pressed again, and reports again.
    ExpectOneBox(setup, kDamaged);
    ExpectFailedState(setup);
    EXPECT_FALSE(fs::exists(typed));
    AbortStartsNothing(setup);
}

TEST_F(Failure, SetupFileWithoutPayloadLeavesAnExistingDirectoryAlone) {
    std::vector<unsigned char> image = ReadFileBytes(BuiltSetupFile());
    image.resize(MarkerOffset(image));
    std::string typed = Dir("Kept");
    fs::create_directories(fs::path(typed) / "sub");
    WriteFileText(fs::path(typed) / "keep.txt", "mine");
    WriteFileText(fs::path(typed) / "sub" / "keep.too", "mine");

    SetupDriver setup(DownloadDir(), image);
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    ExpectOneBox(setup, kDamaged);
    ExpectFailedState(setup);
    EXPECT_EQ("mine", ReadFileText(fs::path(typed) / "keep.txt"));
    EXPECT_EQ("mine", ReadFileText(fs::path(typed) / "sub" / "keep.too"));
    AbortStartsNothing(setup);
}

TEST_F(Failure, SetupFileWithOneFlippedByteLeavesTheUsersFilesAlone) {
    // One bit of one byte in the middle of the payload: without the integrity record the
    // setup program emptied the directory, installed a damaged file and called it success.
    std::vector<unsigned char> image = ReadFileBytes(BuiltSetupFile());
    size_t marker = MarkerOffset(image);
    ASSERT_LT(marker, image.size());
    image[marker + (image.size() - marker) / 2] ^= 0x08;
    std::string typed = Dir("Mine");
    fs::create_directories(typed);
    WriteFileText(fs::path(typed) / "letter.txt", "mine");

    SetupDriver setup(DownloadDir(), image);
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    ExpectOneBox(setup, kDamaged);
    ExpectFailedState(setup);
    EXPECT_EQ(std::set<std::string>{"letter.txt"}, NamesIn(typed));
    EXPECT_EQ("mine", ReadFileText(fs::path(typed) / "letter.txt"));
    EXPECT_FALSE(fs::exists(GroupFolder()));
    AbortStartsNothing(setup);
}

TEST_F(Failure, DirectoryOnAMissingDriveIsReportedAtTheDirectoryField) {
    // A drive letter that the prefix does not map.
    DWORD drives = GetLogicalDrives();
    char letter = 'Q';
    while (letter <= 'Y' && (drives & (1u << (letter - 'A'))))
        ++letter;
    ASSERT_LE(letter, 'Y') << "no free drive letter";
    std::string typed = std::string(1, letter) + ":\\Lexivane\\X";

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    // The normalised, lower-cased directory is named.
    ExpectOneBox(setup, kCannotCreatePath + Lower(typed) + "\\");
    ExpectPathFailureState(setup, "");
    AbortStartsNothing(setup);
}

TEST_F(Failure, DirectoryTooLongForItsFilesIsRefusedBeforeAnythingIsMade) {
    // One character more than the longest directory that fits with its longest file name.
    size_t longest = 0;
    for (const std::string& name : PayloadNames())
        longest = std::max(longest, name.size());
    std::string typed = LongDirectory(MAX_PATH - 1 - longest);
    const std::set<std::string> untouched = {"download"};

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    setup.Press(kInstallButton);
    WarningBox box = setup.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(kSetupErrorCaption, box.caption);
    // The normalised, lower-cased directory is named, as by every other path failure.
    EXPECT_EQ(kCannotCreatePath + Lower(typed) + "\\", box.text);
    ASSERT_TRUE(setup.Dismiss(box));
    ExpectPathFailureState(setup, "");
    EXPECT_EQ(untouched, NamesIn(work_.path())) << "a level was made";

    // Far longer still, up to what the field passes on (259 characters).
    ASSERT_TRUE(setup.SetDirectory(LongDirectory(MAX_PATH - 1)));
    setup.Press(kInstallButton);
    box = setup.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(0u, box.text.rfind(kCannotCreatePath, 0)) << box.text;
    ASSERT_TRUE(setup.Dismiss(box));
    ExpectPathFailureState(setup, "");
    EXPECT_EQ(untouched, NamesIn(work_.path())) << "a level was made";
    AbortStartsNothing(setup);
}

TEST_F(Failure, FileThatCannotBeCreatedStopsTheInstallationMidway) {
    // A directory in the place of the stored picture, kept by a sub-directory named with a
    // leading dot, which the wiping leaves by design: the picture cannot be created. (A file
    // that cannot be deleted would not do: it is refused before anything is deleted.)
    std::string typed = Dir("Locked");
    fs::path blocked = fs::path(typed) / "sample2.bmp";
    fs::create_directories(blocked / ".kept");
    WriteFileText(blocked / ".kept" / "pinned.txt", "kept");

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    setup.Press(kInstallButton);
    WarningBox box = setup.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(kSetupErrorCaption, box.caption);
    std::string path = Lower(typed) + "\\sample2.bmp";
    EXPECT_EQ("Could not create file\n" + path +
                  "\n\nThis may be because\nLexivane is already running,\nor you may be out of "
                  "disk space.",
              box.text);
    // The run stands at the file it could not create, the meter part of the way.
    EXPECT_EQ("Installing:   sample2.bmp", setup.Text(kStatusLine));
    RepaintNow(setup.Dialog());
    RepaintNow(box.window);
    EXPECT_TRUE(SaveScreenshot("02-failure-mid-run"));

    // Install pressed while the box is up (its loop handles the dialog's messages): the run
    // in progress keeps the state, and no second run starts.
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.Settle());
    std::vector<WarningBox> boxes = setup.Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(box.window, boxes[0].window);

    ASSERT_TRUE(setup.Dismiss(box));
    ExpectFailedState(setup);
    ASSERT_TRUE(setup.Settle());
    EXPECT_FALSE(setup.CurrentBox()) << setup.CurrentBox().text;
    // What was written before stays; nothing after it was written.
    EXPECT_TRUE(SameBytes(PayloadDir() / "sample1.bmp", fs::path(typed) / "sample1.bmp"));
    EXPECT_TRUE(SameBytes(PayloadDir() / "lxv.exe", fs::path(typed) / "lxv.exe"));
    EXPECT_EQ("kept", ReadFileText(blocked / ".kept" / "pinned.txt"));
    EXPECT_FALSE(fs::exists(fs::path(typed) / "sample3.bmp"));
    EXPECT_FALSE(fs::exists(fs::path(typed) / "uninst.exe"));
    EXPECT_FALSE(fs::exists(GroupFolder()));
    AbortStartsNothing(setup);
}

TEST_F(Failure, FullDiskIsReported) {
    if (!UnderWine())
        GTEST_SKIP() << "needs a host link to /dev/full";
    // The file is a host link to a device that takes no bytes. Wiping cannot remove it
    // (Wine deletes no device), so the setup opens it and its writes fail as on a full disk.
    std::string typed = Dir("Full");
    fs::create_directories(typed);
    HostLink full(fs::path(typed) / "sample1.bmp", "/dev/full");
    ASSERT_TRUE(full.Present());

    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    ExpectOneBox(setup, "Out of disk space while writing\n" + Lower(typed) + "\\sample1.bmp");
    ExpectFailedState(setup);
    EXPECT_FALSE(fs::exists(fs::path(typed) / "sample2.bmp"));
    AbortStartsNothing(setup);
}

} // namespace
} // namespace e2e
