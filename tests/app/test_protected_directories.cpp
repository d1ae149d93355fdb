// test_protected_directories.cpp - which directories the install sequence refuses to empty.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "app/protected_directories.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Folder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::string Parent(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

class ProtectedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        download = dir.str() + "\\download";
        CreateDirectoryA(download.c_str(), nullptr);
        ownPath = download + "\\LEXIVANE.EXE";
    }
    bool Protected(const std::string& directory) {
        return IsProtectedDirectory(directory.c_str(), ownPath.c_str()) != 0;
    }
    TempDir dir;
    std::string download, ownPath;
};

TEST_F(ProtectedTest, DrivesSystemAndUserFoldersAreRefused) {
    const std::string refused[] = {
        "C:",
        "C:\\",
        "c:\\\\",
        "Z:\\",
        Folder(CSIDL_WINDOWS),
        Folder(CSIDL_SYSTEM),
        Folder(CSIDL_PROGRAM_FILES),
        Folder(CSIDL_PROFILE),
        Folder(CSIDL_PERSONAL),
        Folder(CSIDL_DESKTOPDIRECTORY),
        Folder(CSIDL_APPDATA),
        Folder(CSIDL_LOCAL_APPDATA),
        Folder(CSIDL_MYPICTURES),
        Parent(Folder(CSIDL_PROFILE)), // C:\users, above every profile
    };
    for (const std::string& directory : refused) {
        ASSERT_FALSE(directory.empty());
        EXPECT_TRUE(Protected(directory)) << directory;
    }
    // Letter case and trailing backslashes do not get past it.
    std::string windows = Folder(CSIDL_WINDOWS);
    for (char& c : windows)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(Protected(windows + "\\"));
}

TEST_F(ProtectedTest, TheSetupProgramsOwnDirectoryAndThoseAboveItAreRefused) {
    EXPECT_TRUE(Protected(download));
    EXPECT_TRUE(Protected(dir.str()));
    EXPECT_TRUE(Protected(download + "\\.."));
}

TEST_F(ProtectedTest, AProductDirectoryOfItsOwnIsAllowed) {
    EXPECT_FALSE(Protected(dir.str() + "\\lexivane"));
    EXPECT_FALSE(Protected(download + "-other"));
    EXPECT_FALSE(Protected(Folder(CSIDL_PERSONAL) + "\\Lexivane"));
    EXPECT_FALSE(Protected("C:\\Lexivane"));
}

} // namespace
