// test_install_sequence.cpp - RunInstall on real setup files, directories and shortcuts,
// with an observer that records what the user would be shown, in order.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/install_sequence.h"
#include "app/install_state.h"
#include "app/texts.h"
#include "tests/support/directory_names.h"
#include "tests/support/lower_case.h"
#include "tests/support/process_tree.h"
#include "tests/support/programs_folder.h"
#include "tests/support/recording_observer.h"
#include "tests/support/temp_dir.h"
#include "tools/packer/archive_writer.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using Call = RecordingObserver::Call;

fs::path ProgramGroup() {
    return ProgramsFolder() / "Lexivane";
}

std::vector<std::string> Links() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(ProgramGroup(), ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The viewers of the read-me that the installations of this test opened.
std::vector<DWORD> OpenedViewers() {
    return Descendants(GetCurrentProcessId());
}

std::string Formatted(const char* format, const std::string& value) {
    char text[1024];
    std::snprintf(text, sizeof text, format, value.c_str());
    return text;
}

// Every test has a Programs folder of its own, so the user's Start menu is never touched, and
// closes the read-me viewers that its installations opened.
class InstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(ProgramsFolder(), programsFolder);
        download = dir.path() / "download";
        fs::create_directory(download);
        ResetInstallState(&observer);
    }
    void TearDown() override {
        EndDescendants(GetCurrentProcessId());
        ResetInstallState(nullptr);
    }

    // A setup file with a read-me (unless told otherwise), one entry of each kind and a
    // developer-only entry.
    void MakeSetup(bool truncate = false, bool readme = true) {
        fs::path file = download / "setup.exe";
        FILE* out = std::fopen(file.string().c_str(), "wb");
        ArchiveWriter w(out);
        const Bytes stub(100, 0x90);
        const Bytes text = {'L', 'e', 'x', 'i', 'v', 'a', 'n', 'e', '\r', '\n'};
        const Bytes vector = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8f, 0x80, 0x7f};
        w.Begin(stub.data(), stub.size());
        if (readme)
            w.Stored("readme.txt", text.data(), text.size());
        w.Imploded("lxv.hlp", vector.data(), vector.size(), 13);
        w.Stored("devref.htm", text.data(), text.size());
        w.Subdirectory("docs");
        w.Stored("lxv.htm", text.data(), text.size());
        w.End();
        std::fclose(out);
        if (truncate)
            fs::resize_file(file, fs::file_size(file) - 8);
        std::snprintf(installState.ownPath, kPathSize, "%s", file.string().c_str());
    }

    std::vector<Call::Kind> Kinds() const {
        std::vector<Call::Kind> kinds;
        for (const Call& c : observer.calls)
            kinds.push_back(c.kind);
        return kinds;
    }

    TempDir dir;
    TempDir startMenu;
    fs::path programsFolder = startMenu.path() / "Programs";
    RedirectedProgramsFolder redirection{programsFolder};
    fs::path download;
    RecordingObserver observer;
};

TEST_F(InstallTest, StandardInstallWritesFilesMakesTheGroupAndReportsInOrder) {
    MakeSetup();
    fs::path target = dir.path() / "Product";
    RunInstall(target.string().c_str(), 0);

    // The directory is normalised and lower-cased before anything is made, and so it is
    // written on disk.
    EXPECT_EQ(std::string(installState.installDir, installState.dirEnd),
              Lower(target.string() + "\\"));
    EXPECT_EQ(NamesOnDisk(dir.path()), (std::vector<std::wstring>{L"download", L"product"}));
    EXPECT_FALSE(OpenedViewers().empty()) << "the read-me is opened";
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{});
    EXPECT_TRUE(installState.finished);
    EXPECT_TRUE(installState.succeeded);

    EXPECT_EQ(ReadFileBytes(target / "lxv.hlp"),
              Bytes({'A', 'I', 'A', 'I', 'A', 'I', 'A', 'I', 'A', 'I', 'A', 'I', 'A'}));
    EXPECT_TRUE(fs::exists(target / "docs" / "lxv.htm"));
    EXPECT_FALSE(fs::exists(target / "devref.htm"));

    // 0 before the archive, 1..99 during the entries, 100 at the end; then the completion.
    std::vector<int> percents = observer.Percents();
    ASSERT_GE(percents.size(), 3u);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    for (size_t i = 1; i + 1 < percents.size(); ++i)
        EXPECT_TRUE(percents[i] >= 1 && percents[i] <= 99) << percents[i];
    std::vector<std::string> statuses = observer.Statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], text::kUpdatingDesktop);
    EXPECT_EQ(statuses.back(), text::kSuccess);
    EXPECT_EQ(Kinds().back(), Call::Finished);

    // Five table shortcuts for the standard option, the read-me and the uninstaller.
    EXPECT_EQ(Links(), (std::vector<std::string>{
                           "Lexivane Program.Lnk", "Network Administrator's Guide.Lnk",
                           "Network User's Guide.Lnk", "Online Help.Lnk", "Read Me.Lnk",
                           "UnInstall Lexivane.Lnk", "User Manual.Lnk"}));

    // A finished installation is never repeated.
    size_t calls = observer.calls.size();
    RunInstall(target.string().c_str(), 1);
    EXPECT_EQ(observer.calls.size(), calls);
    EXPECT_EQ(installState.option, kOptionDeveloper);
}

TEST_F(InstallTest, DeveloperInstallGetsEveryFileAndAllShortcuts) {
    MakeSetup();
    fs::path target = dir.path() / "dev";
    RunInstall(target.string().c_str(), 1);
    EXPECT_TRUE(fs::exists(target / "devref.htm"));
    EXPECT_EQ(Links().size(), 10u);
}

TEST_F(InstallTest, ExistingDirectoryIsEmptiedButKept) {
    MakeSetup();
    fs::path target = dir.path() / "existing";
    fs::create_directories(target / "old" / "deeper");
    WriteFileText(target / "old" / "deeper" / "stale.txt", "stale");
    WriteFileText(target / "stray.dat", "stray");
    RunInstall(target.string().c_str(), 0);
    EXPECT_TRUE(installState.succeeded);
    EXPECT_FALSE(fs::exists(target / "old"));
    EXPECT_FALSE(fs::exists(target / "stray.dat"));
    EXPECT_TRUE(fs::exists(target / "readme.txt"));
}

TEST_F(InstallTest, DamagedPayloadIsReportedBeforeAnythingIsDeleted) {
    MakeSetup(/*truncate=*/true);
    fs::path target = dir.path() / "keep";
    fs::create_directory(target);
    WriteFileText(target / "precious.txt", "mine");
    RunInstall(target.string().c_str(), 0);
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_TRUE(fs::exists(target / "precious.txt"));
    EXPECT_FALSE(installState.succeeded);
    EXPECT_FALSE(installState.finished);
    EXPECT_TRUE(Links().empty());
    // Install may be pressed again, and reports again.
    RunInstall(target.string().c_str(), 0);
    EXPECT_EQ(observer.Failures().size(), 2u);
}

TEST_F(InstallTest, DirectoriesThatMustNotBeEmptiedAreRefused) {
    MakeSetup();
    WriteFileText(download / "canary.txt", "alive");
    for (const fs::path& directory : {download, dir.path()}) {
        observer.calls.clear();
        RunInstall(directory.string().c_str(), 0);
        ASSERT_EQ(observer.calls.size(), 1u) << directory;
        EXPECT_EQ(observer.calls[0].kind, Call::PathFailure);
        EXPECT_NE(observer.calls[0].text.find("will not be emptied"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(download / "canary.txt"));
    EXPECT_TRUE(fs::exists(download / "setup.exe"));
}

TEST_F(InstallTest, PathsThatCannotBeMadeOrDoNotFitAreRefused) {
    MakeSetup();
    // A drive that the test prefix does not map.
    RunInstall("Q:\\Lexivane", 0);
    ASSERT_EQ(observer.calls.size(), 1u);
    EXPECT_EQ(observer.calls[0].kind, Call::PathFailure);
    EXPECT_EQ(observer.calls[0].text, Formatted(text::kCannotCreatePath, "q:\\lexivane\\"));

    // With its backslash and the longest name below it, this text does not fit 260 bytes.
    observer.calls.clear();
    // Like every other path failure, the refusal names the normalised, lower-cased directory.
    std::string deep = dir.str() + "\\" + std::string(250 - dir.str().size(), 'D');
    RunInstall(deep.c_str(), 0);
    ASSERT_EQ(observer.calls.size(), 1u);
    EXPECT_EQ(observer.calls[0].text, Formatted(text::kCannotCreatePath, Lower(deep) + "\\"));
    EXPECT_FALSE(fs::exists(deep));
}

// An observer that presses Install again while a failure is being shown, as a user can
// while the warning box is up.
class ReentrantObserver : public RecordingObserver {
  public:
    void ReportFailure(const char* text) override {
        RecordingObserver::ReportFailure(text);
        if (!nested) {
            nested = true;
            RunInstall(directory.c_str(), 1);
        }
    }
    std::string directory;
    bool nested = false;
};

TEST_F(InstallTest, AnInstallPressDuringARunIsIgnored) {
    MakeSetup(/*truncate=*/true);
    ReentrantObserver reentrant;
    reentrant.directory = (dir.path() / "again").string();
    installState.observer = &reentrant;
    RunInstall(reentrant.directory.c_str(), 0);
    EXPECT_TRUE(reentrant.nested);
    EXPECT_EQ(reentrant.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_EQ(installState.option, kOptionStandard) << "the ignored press stored its option";
    installState.observer = &observer;
}

TEST_F(InstallTest, EmptyTextInstallsIntoTheCurrentDirectoryWithoutWipingIt) {
    MakeSetup();
    fs::path here = dir.path() / "here";
    fs::create_directory(here);
    WriteFileText(here / "keep.txt", "mine");
    fs::path before = fs::current_path();
    fs::current_path(here);
    RunInstall("", 0);
    fs::current_path(before);
    EXPECT_TRUE(installState.succeeded);
    EXPECT_TRUE(fs::exists(here / "keep.txt"));
    EXPECT_TRUE(fs::exists(here / "readme.txt"));
    EXPECT_TRUE(fs::exists(here / "docs" / "lxv.htm"));
}

TEST_F(InstallTest, TextEndingInABackslashGetsNoSecondOne) {
    MakeSetup();
    std::string typed = (dir.path() / "slash").string() + "\\";
    RunInstall(typed.c_str(), 0);
    EXPECT_TRUE(installState.succeeded);
    EXPECT_EQ(std::string(installState.installDir, installState.dirEnd), Lower(typed));
    EXPECT_TRUE(fs::exists(dir.path() / "slash" / "readme.txt"));
}

TEST_F(InstallTest, WithoutAReadMeThereIsNoReadMeLinkAndNoViewer) {
    MakeSetup(/*truncate=*/false, /*readme=*/false);
    RunInstall((dir.path() / "plain").string().c_str(), 0);
    EXPECT_TRUE(installState.succeeded);
    std::vector<std::string> links = Links();
    EXPECT_EQ(std::count(links.begin(), links.end(), "Read Me.Lnk"), 0);
    EXPECT_EQ(links.size(), 6u) << "five table shortcuts and the uninstaller";
    EXPECT_TRUE(OpenedViewers().empty());
}

// Run again in code page 932 (see CMakeLists.txt). There the second byte of a character can be
// the backslash or a letter: 表 is 95 5C, ソ is 83 5C, ア is 83 41.
TEST_F(InstallTest, DoubleByteNamesAreInstalledIntoAsTyped) {
    if (GetACP() != 932)
        GTEST_SKIP() << "run in code page 932";
    MakeSetup();
    const struct {
        std::string typed;   // below the test directory, in code page 932
        std::wstring onDisk; // as it must be written on disk
    } cases[] = {
        {"Lexivane\x95\x5C", L"lexivane\u8868"}, // ends in 表
        {"P\x83\x5C"
         "ft",
         L"p\u30BDft"}, // ソ in the middle
        {"\x83\x41"
         "B",
         L"\u30A2b"}, // ア, and a letter to lower-case
    };
    const std::string setupFile = installState.ownPath;
    std::vector<std::wstring> expected = {L"download"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ResetInstallState(&observer);
        std::snprintf(installState.ownPath, kPathSize, "%s", setupFile.c_str());
        RunInstall((dir.str() + "\\" + c.typed).c_str(), 0);
        EXPECT_EQ(observer.Failures(), std::vector<std::string>{});
        EXPECT_TRUE(installState.succeeded);
        EXPECT_TRUE(fs::exists(dir.path() / c.onDisk / "readme.txt"));
        EXPECT_TRUE(fs::exists(dir.path() / c.onDisk / "docs" / "lxv.htm"));
        expected.push_back(c.onDisk);
    }
    // Every file landed inside a typed directory, and nothing beside them.
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(NamesOnDisk(dir.path()), expected);
}

} // namespace
