// test_demo_programs.cpp - the staged demo programs run: lxv.exe shows itself and leaves its
// marker, uninst.exe removes exactly what it should, apitest.exe finds broken modules.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/demo/demo_process.h"
#include "tests/support/programs_folder.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The marker is written in pieces; it is complete once its last line has ended.
std::string WaitForMarker(const fs::path& file) {
    for (int i = 0; i < 1500; ++i) {
        std::string text = ReadFileText(file);
        size_t last = text.find("current directory: ");
        if (last != std::string::npos && text.find("\r\n", last) != std::string::npos)
            return text;
        Sleep(20);
    }
    return {};
}

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

// A folder name in the Programs folder that no other run uses.
std::string UniqueGroupName(const char* stem) {
    static int counter = 0;
    return std::string(stem) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
}

// A program group with two shortcuts, removed at the end if a test left it.
class ScratchGroup {
  public:
    explicit ScratchGroup(const fs::path& folder) : folder_(folder) {
        fs::create_directories(folder_);
        WriteFileText(folder_ / "Lexivane Program.Lnk", "not a real link");
        WriteFileText(folder_ / "Read Me.Lnk", "not a real link");
    }
    ~ScratchGroup() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    const fs::path& path() const { return folder_; }

  private:
    fs::path folder_;
};

// An install directory as the setup leaves it, with the uninstaller in it.
void FillInstallDir(const fs::path& dir) {
    ASSERT_TRUE(CopyPayloadFile("uninst.exe", dir));
    WriteFileText(dir / "readme.txt", "read me");
    WriteFileText(dir / "lxv.hlp", "help");
    fs::create_directories(dir / "samples" / "more");
    WriteFileText(dir / "samples" / "more" / "sample1.bmp", "BM");
    WriteFileText(dir / "locked.htm", "read-only");
    SetFileAttributesA((dir / "locked.htm").string().c_str(), FILE_ATTRIBUTE_READONLY);
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

TEST(DemoLxv, ShowsItsWindowWritesTheMarkerAndEndsOnClose) {
    TempDir temp;
    fs::path app = temp.path() / "app";
    fs::path elsewhere = temp.path() / "cwd";
    fs::create_directories(app);
    fs::create_directories(elsewhere);
    ASSERT_TRUE(CopyPayloadFile("lxv.exe", app));
    // Started the way the setup starts it: the bare path, and the starter's current directory.
    std::string commandLine = (app / "lxv.exe").string();

    ChildProcess lxv;
    ASSERT_TRUE(lxv.Start(commandLine, elsewhere.string()));
    HWND window = WaitForWindow(lxv.Id(), nullptr, "Lexivane");
    ASSERT_NE(window, nullptr) << "no window titled Lexivane";
    std::string marker = WaitForMarker(app / "lxv-started.txt");
    EXPECT_NE(marker.find("command line: " + commandLine + "\r\n"), std::string::npos) << marker;
    EXPECT_NE(marker.find("current directory: " + elsewhere.string() + "\r\n"), std::string::npos)
        << marker;
    EXPECT_FALSE(fs::exists(elsewhere / "lxv-started.txt"));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(lxv.Wait(), 0);
}

TEST(DemoUninst, RemovesTheGroupAndEverythingButItself) {
    TempDir install;
    FillInstallDir(install.path());
    fs::path programs = ProgramsFolder();
    ASSERT_FALSE(programs.empty());
    std::string name = UniqueGroupName("Lxv Uninst Test");
    ScratchGroup group(programs / name);
    ScratchGroup neighbour(programs / (name + "-neighbour"));

    // A name with a blank, quoted as the shortcut's argument string would have to quote it.
    EXPECT_EQ(RunToEnd(Quoted(install.path() / "uninst.exe") + " \"" + name + "\" /quiet"), 0);

    EXPECT_FALSE(fs::exists(group.path()));
    EXPECT_TRUE(fs::exists(neighbour.path() / "Read Me.Lnk"));
    EXPECT_EQ(Names(install.path()), std::vector<std::string>{"uninst.exe"});
}

TEST(DemoUninst, AMissingGroupIsNoFailure) {
    TempDir install;
    FillInstallDir(install.path());
    std::string name = UniqueGroupName("LxvMissingGroup");

    EXPECT_EQ(RunToEnd(Quoted(install.path() / "uninst.exe") + " " + name + " /quiet"), 0);
    EXPECT_EQ(Names(install.path()), std::vector<std::string>{"uninst.exe"});
}

TEST(DemoUninst, AFileInUseIsReportedAndTheRestStillGoes) {
    TempDir install;
    FillInstallDir(install.path());
    fs::path programs = ProgramsFolder();
    ScratchGroup group(programs / UniqueGroupName("LxvBusy"));
    fs::path busy = install.path() / "lxv.exe";
    WriteFileText(busy, "running");
    HANDLE open = CreateFileA(busy.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);

    long code = RunToEnd(Quoted(install.path() / "uninst.exe") + " " +
                         group.path().filename().string() + " /quiet");
    CloseHandle(open);

    EXPECT_EQ(code, 3);
    EXPECT_FALSE(fs::exists(group.path()));
    std::vector<std::string> left = Names(install.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"lxv.exe", "uninst.exe"}));
}

TEST(DemoUninst, RefusesNamesThatReachOutsideTheProgramsFolder) {
    TempDir install;
    FillInstallDir(install.path());
    fs::path programs = ProgramsFolder();
    ASSERT_FALSE(programs.empty());
    // "..\x" would name a folder beside the Programs folder: make one, and it must survive.
    std::string outside = UniqueGroupName("LxvOutside");
    ScratchGroup beside(programs.parent_path() / outside);
    std::string uninst = Quoted(install.path() / "uninst.exe");

    for (std::string argument :
         {"..\\" + outside, std::string("\"\""), std::string(".."), std::string("."),
          std::string("\" . \""), "x\\..\\..\\" + outside,
          programs.parent_path().string() + "\\" + outside, std::string("*"), std::string("a/b")}) {
        SCOPED_TRACE(argument);
        EXPECT_EQ(RunToEnd(uninst + " " + argument + " /quiet"), 1);
    }
    EXPECT_EQ(RunToEnd(uninst + " /quiet"), 1);
    EXPECT_EQ(RunToEnd(uninst + " Lexivane /quiet extra"), 1);

    EXPECT_TRUE(fs::exists(beside.path() / "Read Me.Lnk"));
    EXPECT_TRUE(fs::exists(install.path() / "samples" / "more" / "sample1.bmp"));
    EXPECT_TRUE(fs::exists(install.path() / "readme.txt"));
}

TEST(DemoUninst, AsksFirstAndNoKeepsEverything) {
    TempDir install;
    FillInstallDir(install.path());
    ScratchGroup group(ProgramsFolder() / UniqueGroupName("LxvAsk"));

    ChildProcess uninst;
    ASSERT_TRUE(uninst.Start(Quoted(install.path() / "uninst.exe") + " " +
                             group.path().filename().string()));
    HWND box = WaitForWindow(uninst.Id(), "#32770", "Lexivane Uninstall");
    ASSERT_NE(box, nullptr) << "no confirmation box";
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));

    EXPECT_EQ(uninst.Wait(), 2);
    EXPECT_TRUE(fs::exists(group.path() / "Read Me.Lnk"));
    EXPECT_TRUE(fs::exists(install.path() / "readme.txt"));
}

TEST(DemoApiTest, PassesWithAllModulesAndCountsBrokenOnes) {
    TempDir dir;
    for (const char* name : {"apitest.exe", "lxconv32.dll", "gauge32.dll", "aplx.dll"})
        ASSERT_TRUE(CopyPayloadFile(name, dir.path())) << name;
    std::string apitest = Quoted(dir.path() / "apitest.exe") + " /quiet";
    EXPECT_EQ(RunToEnd(apitest), 0);

    fs::remove(dir.path() / "aplx.dll");
    EXPECT_EQ(RunToEnd(apitest), 1);

    // A library of the right name that exports the wrong functions.
    ASSERT_TRUE(CopyFileA((dir.path() / "lxconv32.dll").string().c_str(),
                          (dir.path() / "gauge32.dll").string().c_str(), FALSE));
    EXPECT_EQ(RunToEnd(apitest), 2);
}
