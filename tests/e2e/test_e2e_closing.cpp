// test_e2e_closing.cpp - leaving the real setup program without installing: Abort, the Escape
// key and the close box end it with exit code 0 and start nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "tests/e2e/e2e_fixture.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

class Closing : public SetupTest {
  protected:
    void SetUp() override {
        SetupTest::SetUp();
        // A product program beside the setup: a wrongly started product (the bare name
        // "lxv.exe", as an empty install directory would give it) would be found there and
        // leave its marker.
        fs::create_directories(DownloadDir());
        ASSERT_TRUE(fs::copy_file(PayloadDir() / "lxv.exe", DownloadDir() / "lxv.exe"));
    }

    void ExpectEndedWithoutStarting(SetupDriver& setup) {
        EXPECT_EQ(0, setup.WaitForExit());
        EXPECT_TRUE(setup.StartedProcesses().empty());
        EXPECT_FALSE(fs::exists(DownloadDir() / "lxv-started.txt"));
        EXPECT_FALSE(fs::exists("C:\\Lexivane\\lxv-started.txt"));
    }
};

TEST_F(Closing, AbortBeforeInstalling) {
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    setup.Press(kAbortButton);
    ExpectEndedWithoutStarting(setup);
}

TEST_F(Closing, EscapeKeyBeforeInstalling) {
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.PressKey(VK_ESCAPE));
    ExpectEndedWithoutStarting(setup);
}

TEST_F(Closing, CloseBoxBeforeInstalling) {
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    setup.PressCloseBox();
    ExpectEndedWithoutStarting(setup);
}

TEST_F(Closing, EscapeKeyAfterAFailedInstallation) {
    // The directory is a file: it cannot be made, and the run fails at its first step.
    std::string typed = Dir("Occupied");
    WriteFileText(typed, "a file, not a directory");
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.SetDirectory(typed));
    setup.Press(kInstallButton);
    WarningBox box = setup.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(kSetupErrorCaption, box.caption);
    ASSERT_TRUE(setup.Dismiss(box));
    ASSERT_TRUE(setup.Settle());
    ASSERT_TRUE(setup.PressKey(VK_ESCAPE));
    ExpectEndedWithoutStarting(setup);
    EXPECT_EQ("a file, not a directory", ReadFileText(typed));
}

} // namespace
} // namespace e2e
