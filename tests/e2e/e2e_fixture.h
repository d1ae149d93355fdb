// e2e_fixture.h - the common ground of the end-to-end tests: a work directory of their own
// and a Programs folder of their own, without the program group before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/e2e/install_checks.h"
#include "tests/e2e/setup_driver.h"
#include "tests/support/programs_folder.h"
#include "tests/support/temp_dir.h"

namespace e2e {

class SetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(ProgramsFolder(), programs_.path() / "Programs");
        ASSERT_TRUE(RemoveGroup()) << GroupFolder();
    }
    void TearDown() override { RemoveGroup(); }

    // Presses Install and expects exactly one box of the setup's errors with `text`, which
    // is closed.
    static void ExpectOneBox(SetupDriver& setup, const std::string& text) {
        setup.Press(kInstallButton);
        WarningBox box = setup.WaitForBox();
        ASSERT_TRUE(box) << "no warning box";
        EXPECT_EQ(kSetupErrorCaption, box.caption);
        EXPECT_EQ(text, box.text);
        ASSERT_TRUE(setup.Dismiss(box));
        ASSERT_TRUE(setup.Settle());
        EXPECT_FALSE(setup.CurrentBox()) << setup.CurrentBox().text;
    }

    // Where the user saved LEXIVANE.EXE.
    std::filesystem::path DownloadDir() const { return work_.path() / "download"; }
    // A directory below the work directory, as the user would type it.
    std::string Dir(const std::string& name) const { return (work_.path() / name).string(); }
    // A directory below the work directory whose text is exactly `length` characters long,
    // made of levels short enough for any file system.
    std::string LongDirectory(size_t length) const {
        std::string text = work_.path().string();
        while (text.size() < length) {
            size_t remaining = length - text.size();
            size_t level = std::min<size_t>(remaining - 1, 60);
            if (remaining - 1 - level == 1) // one character left over could not be a level
                --level;
            text += "\\" + std::string(level, 'd');
        }
        return text;
    }

    TempDir work_;
    // The setup program makes its group here, never in the user's own Start menu.
    TempDir programs_;
    RedirectedProgramsFolder redirection_{programs_.path() / "Programs"};
};

} // namespace e2e
