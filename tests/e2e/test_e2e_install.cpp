// test_e2e_install.cpp - complete installations by the real setup program: the files, the
// program group and its shortcuts, the finished dialog, the read-me, and the product started
// at exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/screenshot.h"
#include "tests/support/shell_objects.h"
#include "tools/packer/archive_writer.h"
#include "tools/packer/implode.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

struct TableLink {
    const char* link;
    const char* target;
    bool developerOnly;
};

// The program group's table shortcuts, in the order the setup makes them.
constexpr TableLink kTableLinks[] = {
    {"Lexivane Program.Lnk", "lxv.exe", false},
    {"Online Help.Lnk", "lxv.hlp", false},
    {"User Manual.Lnk", "lxv.htm", false},
    {"Network Administrator's Guide.Lnk", "lxvnet_a.htm", false},
    {"Network User's Guide.Lnk", "lxvnet_u.htm", false},
    {"Developer's Reference.Lnk", "devref.htm", true},
    {"Pelorin Language Reference.Lnk", "plr.htm", true},
    {"Developer's Test Program.Lnk", "apitest.exe", true},
};

// The install directory as the setup names it: lower case, with its backslash.
std::string Installed(const std::string& typed) {
    return Lower(typed) + "\\";
}

// Every file the option selects is there with the bytes of its source, and nothing else.
void ExpectInstalledFiles(const fs::path& dir, bool developer) {
    std::set<std::string> expected;
    for (const std::string& name : PayloadNames()) {
        if (!developer && IsDeveloperOnly(name))
            continue;
        expected.insert(name);
        EXPECT_TRUE(SameBytes(PayloadDir() / name, dir / name)) << name;
    }
    EXPECT_EQ(expected, NamesIn(dir));
}

void ExpectShortcut(const std::string& link, const std::string& target,
                    const std::string& arguments) {
    ShortcutContent shortcut = ReadShortcut(GroupFolder() / link);
    ASSERT_TRUE(shortcut.loaded) << link;
    EXPECT_TRUE(SamePath(target, shortcut.target)) << link << " -> " << shortcut.target;
    EXPECT_EQ(arguments, shortcut.arguments) << link;
}

// The program group holds the table shortcuts of the option, the read-me and the uninstaller.
void ExpectProgramGroup(const std::string& installDir, bool developer) {
    std::set<std::string> expected;
    for (const TableLink& row : kTableLinks) {
        if (row.developerOnly && !developer)
            continue;
        expected.insert(Lower(row.link));
        ExpectShortcut(row.link, installDir + row.target, "");
    }
    expected.insert("read me.lnk");
    ExpectShortcut("Read Me.Lnk", installDir + "readme.txt", "");
    expected.insert("uninstall lexivane.lnk");
    ExpectShortcut("UnInstall Lexivane.Lnk", installDir + "uninst.exe", "Lexivane");
    EXPECT_EQ(expected, NamesIn(GroupFolder()));
}

// The dialog after "Installation was successful.": Install and the directory are disabled,
// Exit has the focus.
void ExpectFinishedDialog(SetupDriver& setup) {
    ASSERT_TRUE(setup.Settle());
    EXPECT_EQ(kSuccess, setup.Text(kStatusLine));
    EXPECT_EQ("E&xit", setup.Text(kAbortButton));
    EXPECT_FALSE(setup.Enabled(kInstallButton));
    EXPECT_FALSE(setup.Enabled(kDirectoryField));
    EXPECT_TRUE(setup.Enabled(kAbortButton));
    EXPECT_EQ(kAbortButton, setup.FocusId());
    EXPECT_FALSE(setup.CurrentBox()) << setup.CurrentBox().text;
}

// Installs into `typed` and waits for the read-me, whose viewer is closed again. Where the
// platform cannot open a document at so long a path (Wine's shell cannot at 256 characters),
// the setup's box that says so is accepted instead when `viewMayFail`.
void InstallAndCloseReadme(SetupDriver& setup, const std::string& typed, bool developer,
                           bool viewMayFail = false) {
    ASSERT_TRUE(setup.SetDirectory(typed));
    ASSERT_TRUE(setup.SetDeveloper(developer));
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.WaitForStatus(kSuccess))
        << setup.Text(kStatusLine) << " / " << setup.CurrentBox().text;
    ProgramWindow readme;
    WarningBox refused;
    ASSERT_TRUE(PollUntil([&] {
        readme = setup.WaitForStartedWindow("readme.txt", 0);
        if (!readme && viewMayFail)
            refused = setup.CurrentBox();
        return readme || refused;
    })) << "the read-me was not opened";
    if (refused) {
        EXPECT_EQ("ERROR viewing " + Installed(typed) + "readme.txt", refused.caption);
        ASSERT_TRUE(setup.Dismiss(refused));
        return;
    }
    EXPECT_TRUE(CloseProgram(readme));
}

// After the dialog has closed: exit code 0, and the product started from the install
// directory, which is closed again.
void ExpectProductStarted(SetupDriver& setup, const std::string& installDir, bool marker = true) {
    EXPECT_EQ(0, setup.WaitForExit());
    ProgramWindow product = setup.WaitForStartedWindow("Lexivane");
    ASSERT_TRUE(product) << "the product did not start";
    EXPECT_EQ("Lexivane", product.title);
    if (marker) {
        // The demo product notes its command line and current directory: the installed
        // program, started in the setup program's own current directory.
        std::string text =
            Lower(WaitForText(fs::path(installDir) / "lxv-started.txt", "current directory: "));
        EXPECT_NE(std::string::npos, text.find(Lower(installDir) + "lxv.exe")) << text;
        std::string current = Lower(setup.SetupPath().parent_path().string());
        EXPECT_NE(std::string::npos, text.find("current directory: " + current + "\r\n")) << text;
    }
    EXPECT_TRUE(CloseProgram(product));
}

// Writes the built setup program's image with the demo product behind it, as a writer
// without the integrity record makes it (older builders, other tools): each file imploded
// when that makes it smaller, stored otherwise, and nothing behind the end item.
void WriteSetupFileWithoutRecord(const fs::path& file) {
    std::vector<unsigned char> built = ReadFileBytes(BuiltSetupFile());
    size_t image = 0;
    while (image + 16 <= built.size() && std::memcmp(&built[image], "ZOLTZOLTZOLTZOLT", 16) != 0)
        image += 16;
    FILE* out = std::fopen(file.string().c_str(), "wb");
    ASSERT_NE(nullptr, out);
    ArchiveWriter writer(out);
    ASSERT_TRUE(writer.Begin(built.data(), image));
    const ImplodeOptions fast{ImplodeLevel::Fast, LiteralMode::Auto, 6};
    for (const std::string& name : PayloadNames()) {
        std::vector<unsigned char> data = ReadFileBytes(PayloadDir() / name), stream;
        if (Implode(data.data(), data.size(), fast, &stream) && stream.size() < data.size())
            ASSERT_TRUE(writer.Imploded(name.c_str(), stream.data(), stream.size(),
                                        static_cast<uint32_t>(data.size())));
        else
            ASSERT_TRUE(writer.Stored(name.c_str(), data.data(), data.size()));
    }
    ASSERT_TRUE(writer.End());
    ASSERT_EQ(0, std::fclose(out));
}

class Installation : public SetupTest {};

TEST_F(Installation, SetupFileWithoutTheIntegrityRecordStillInstalls) {
    fs::path older = work_.path() / "older.exe";
    WriteSetupFileWithoutRecord(older);
    SetupDriver setup(DownloadDir(), older);
    ASSERT_TRUE(setup.Start());
    std::string typed = Dir("Older");
    InstallAndCloseReadme(setup, typed, false);
    ExpectFinishedDialog(setup);
    ExpectInstalledFiles(typed, false);
    setup.Press(kAbortButton);
    ExpectProductStarted(setup, Installed(typed));
}

TEST_F(Installation, StandardInstallationWritesTheFilesGroupAndStartsTheProduct) {
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    // The dialog as it opens.
    EXPECT_EQ("C:\\Lexivane", setup.Text(kDirectoryField));
    EXPECT_EQ("", setup.Text(kStatusLine));
    EXPECT_EQ("&Install", setup.Text(kInstallButton));
    EXPECT_EQ("&Abort", setup.Text(kAbortButton));
    EXPECT_FALSE(setup.Checked(kDeveloperBox));
    EXPECT_EQ(kInstallButton, setup.FocusId());
    RepaintNow(setup.Dialog());
    ASSERT_TRUE(setup.Settle());
    EXPECT_TRUE(SaveScreenshot("01-ready"));

    // A blank in the directory: the product must still be started from there.
    std::string typed = Dir("Lexivane Product");
    InstallAndCloseReadme(setup, typed, false);
    ExpectFinishedDialog(setup);
    ExpectInstalledFiles(typed, false);
    ExpectProgramGroup(Installed(typed), false);
    RepaintNow(setup.Dialog());
    ASSERT_TRUE(setup.Settle());
    EXPECT_TRUE(SaveScreenshot("03-success"));

    setup.Press(kAbortButton);
    ExpectProductStarted(setup, Installed(typed));
}

TEST_F(Installation, DeveloperInstallationWritesEverythingAndEscapeStartsTheProduct) {
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    std::string typed = Dir("Developer");
    InstallAndCloseReadme(setup, typed, true);
    ExpectFinishedDialog(setup);
    ExpectInstalledFiles(typed, true);
    ExpectProgramGroup(Installed(typed), true);

    // Escape does what Exit does.
    ASSERT_TRUE(setup.PressKey(VK_ESCAPE));
    ExpectProductStarted(setup, Installed(typed));
}

TEST_F(Installation, ExistingDirectoryIsEmptiedBeforeInstalling) {
    std::string typed = Dir("Existing");
    fs::path dir = typed;
    fs::create_directories(dir / "nested" / "deeper");
    WriteFileText(dir / "stray.txt", "left by an old version");
    WriteFileText(dir / "nested" / "deeper" / "old.dll", "old");
    WriteFileText(dir / "lxv.exe", "an old program");
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    InstallAndCloseReadme(setup, typed, false);
    ExpectFinishedDialog(setup);
    ExpectInstalledFiles(dir, false);

    // The close box does what Exit does.
    setup.PressCloseBox();
    ExpectProductStarted(setup, Installed(typed));
}

TEST_F(Installation, InstallAfterSuccessChangesNothing) {
    std::string typed = Dir("Once");
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    InstallAndCloseReadme(setup, typed, false);
    ExpectFinishedDialog(setup);
    std::map<std::string, fs::file_time_type> written;
    for (const std::string& name : NamesIn(typed))
        written[name] = fs::last_write_time(fs::path(typed) / name);
    std::set<std::string> links = NamesIn(GroupFolder());

    // The developer option and another directory, then Install by its button (disabled) and
    // by its command, as the Enter key would send it.
    ASSERT_TRUE(setup.SetDeveloper(true));
    ASSERT_TRUE(setup.SetDirectory(Dir("Twice")));
    setup.Press(kInstallButton);
    PostMessageA(setup.Dialog(), WM_COMMAND, MAKEWPARAM(kInstallButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(setup.Dialog(), kInstallButton)));
    ASSERT_TRUE(setup.Settle());
    EXPECT_FALSE(setup.CurrentBox()) << setup.CurrentBox().text;
    EXPECT_EQ(kSuccess, setup.Text(kStatusLine));
    EXPECT_FALSE(fs::exists(Dir("Twice")));
    std::map<std::string, fs::file_time_type> after;
    for (const std::string& name : NamesIn(typed))
        after[name] = fs::last_write_time(fs::path(typed) / name);
    EXPECT_EQ(written, after);
    ExpectInstalledFiles(typed, false);
    EXPECT_EQ(links, NamesIn(GroupFolder()));
    EXPECT_TRUE(setup.StartedProcesses().empty());

    setup.Press(kAbortButton);
    ExpectProductStarted(setup, Installed(typed));
}

TEST_F(Installation, LongestDirectoryThatFitsInstalls) {
    // The directory, its backslash and the longest name below it fill 259 bytes: the most a
    // path can hold. (The product's own marker file does not fit there, so only its window
    // shows that it started.)
    size_t longest = 0;
    for (const std::string& name : PayloadNames())
        longest = std::max(longest, name.size());
    std::string typed = LongDirectory(MAX_PATH - 1 - longest - 1);
    ASSERT_EQ(MAX_PATH - 1 - longest - 1, typed.size());
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    InstallAndCloseReadme(setup, typed, true, true);
    ExpectFinishedDialog(setup);
    ExpectInstalledFiles(typed, true);
    setup.Press(kAbortButton);
    ExpectProductStarted(setup, Installed(typed), false);
}

} // namespace
} // namespace e2e
