// test_shortcuts.cpp - shortcut files read back through the shell, and special folder paths.
#include <gtest/gtest.h>

#include <windows.h>
#include <direct.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "shell/directories.h"
#include "shell/shortcuts.h"
#include "tests/support/shell_objects.h"
#include "tests/support/temp_dir.h"

namespace {

class ShortcutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        target = temp.str() + "\\uninst.exe";
        WriteFileText(target, "MZ");
    }

    TempDir temp;
    std::string target;
};

} // namespace

TEST_F(ShortcutTest, ReadsBackWithItsTargetAndArguments) {
    std::string readMe = temp.str() + "\\Read Me.Lnk";
    EXPECT_EQ(CreateShortcut(target.c_str(), "", readMe.c_str()), S_OK);
    EXPECT_TRUE(ComIsUninitialised());
    ShortcutContent content = ReadShortcut(readMe);
    EXPECT_TRUE(content.loaded);
    EXPECT_STRCASEEQ(content.target.c_str(), target.c_str());
    EXPECT_EQ(content.arguments, "");

    std::string uninstall = temp.str() + "\\UnInstall Lexivane.Lnk";
    EXPECT_EQ(CreateShortcut(target.c_str(), "Lexivane", uninstall.c_str()), S_OK);
    content = ReadShortcut(uninstall);
    EXPECT_TRUE(content.loaded);
    EXPECT_STRCASEEQ(content.target.c_str(), target.c_str());
    EXPECT_EQ(content.arguments, "Lexivane");
}

TEST_F(ShortcutTest, WorksInAThreadThatHasComAlready) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    std::string link = temp.str() + "\\Nested.Lnk";
    EXPECT_EQ(CreateShortcut(target.c_str(), "", link.c_str()), S_OK);
    CoUninitialize();
    EXPECT_TRUE(ComIsUninitialised()) << "each initialisation was undone once";
    EXPECT_TRUE(ReadShortcut(link).loaded);
}

TEST_F(ShortcutTest, ReturnsTheInitialisationFailureInAMultithreadedApartment) {
    std::string link = temp.str() + "\\Mta.Lnk";
    HRESULT result = S_OK;
    bool balanced = false;
    std::thread([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        result = CreateShortcut(target.c_str(), "", link.c_str());
        CoUninitialize();
        // Back to no apartment: the failed call did not uninitialise on its own.
        HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        balanced = again == S_OK;
        if (SUCCEEDED(again))
            CoUninitialize();
    }).join();
    EXPECT_EQ(result, RPC_E_CHANGED_MODE);
    EXPECT_TRUE(balanced);
    EXPECT_EQ(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Run in a Wine prefix of its own (see CMakeLists.txt), in which the test unregisters the shell
// link class first, as on a system whose shell is damaged; never in a shared prefix or on a
// real system.
TEST_F(ShortcutTest, ReturnsTheCreationFailureWhereTheLinkClassIsMissing) {
    const char* state = std::getenv("LXV_SHELL_LINK_CLASS");
    if (!state || std::strcmp(state, "unregister") != 0)
        GTEST_SKIP() << "only run in a prefix of its own";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE,
                   "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}");
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IShellLinkA* link = nullptr;
    HRESULT expected = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, reinterpret_cast<void**>(&link));
    CoUninitialize();
    ASSERT_EQ(expected, REGDB_E_CLASSNOTREG);

    std::string file = temp.str() + "\\Unmade.Lnk";
    EXPECT_EQ(CreateShortcut(target.c_str(), "", file.c_str()), expected);
    EXPECT_TRUE(ComIsUninitialised());
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShortcutTest, FailsWhereTheFileCannotBeWritten) {
    std::string link = temp.str() + "\\missing\\Link.Lnk";
    EXPECT_TRUE(FAILED(CreateShortcut(target.c_str(), "", link.c_str())));
    EXPECT_TRUE(ComIsUninitialised());
}

TEST_F(ShortcutTest, RefusesALinkPathThatDoesNotFitTheWideBuffer) {
    for (size_t length : {260u, 300u}) {
        SCOPED_TRACE(length);
        std::string link = temp.str() + "\\";
        link += std::string(length - link.size() - 4, 'l') + ".Lnk";
        ASSERT_EQ(link.size(), length);
        EXPECT_EQ(CreateShortcut(target.c_str(), "", link.c_str()),
                  HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
        EXPECT_TRUE(ComIsUninitialised());
    }
    std::string fits = temp.str() + "\\";
    fits += std::string(259 - fits.size() - 4, 'l') + ".Lnk";
    EXPECT_EQ(CreateShortcut(target.c_str(), "", fits.c_str()), S_OK);
}

TEST(SpecialFolders, ProgramsFolderHasNoTrailingBackslashAndTakesAGroup) {
    char programs[kPathSize] = {};
    ASSERT_NE(GetProgramsFolderPath(programs), 0);
    std::string path = programs;
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), '\\');

    char expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, expected),
              S_OK);
    EXPECT_STRCASEEQ(programs, expected);

    std::string group = path + "\\Lexivane Test " + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(CreatePath(group.data()), 1);
    EXPECT_EQ(DirectoryExists(group.c_str()), 1);
    EXPECT_EQ(_rmdir(group.c_str()), 0);
}

TEST(SpecialFolders, OtherFoldersByNumber) {
    char windows[kPathSize] = {};
    ASSERT_NE(GetSpecialFolderPath(CSIDL_WINDOWS, windows), 0);
    char expected[MAX_PATH] = {};
    GetWindowsDirectoryA(expected, sizeof expected);
    EXPECT_STRCASEEQ(windows, expected);

    // The Drives folder is virtual: it has no file-system path.
    char drives[kPathSize] = {};
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_DRIVES, drives), 0);
}

// Writes a shortcut where the host can read it with an independent reader of the format
// (a test of its own then runs lnkinfo on it). Only the run registered for that sets the
// host directory; it is reached through Wine's drive Z:, which maps the host's root.
TEST(ShortcutExport, WritesTheUninstallShortcutForTheHost) {
    const char* hostDirectory = std::getenv("LXV_SHORTCUT_EXPORT_DIR");
    if (!hostDirectory)
        GTEST_SKIP() << "no host directory to write to";
    std::string directory = std::string("Z:") + hostDirectory;
    for (char& c : directory)
        if (c == '/')
            c = '\\';
    std::string withBackslash = directory + "\\";
    ASSERT_EQ(CreatePath(withBackslash.data()), 1);
    std::string target = directory + "\\uninst.exe";
    WriteFileText(target, "MZ");
    std::string link = directory + "\\UnInstall Lexivane.Lnk";
    DeleteFileA(link.c_str());
    ASSERT_EQ(CreateShortcut(target.c_str(), "Lexivane", link.c_str()), S_OK);
    EXPECT_EQ(ReadShortcut(link).arguments, "Lexivane");
}
