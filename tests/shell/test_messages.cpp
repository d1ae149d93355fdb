// test_messages.cpp - warning boxes and the system's error texts, closed by a second thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "shell/messages.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/system_text.h"

TEST(ShowWarning, ShowsAnUnownedBoxWithTheWarningIconAndOneOkButton) {
    MessageBoxWatcher watcher("Lexivane Setup Error");
    int pressed =
        ShowWarning("Incomplete or damaged installation file!", "Lexivane Setup Error", nullptr);
    std::vector<SeenBox> boxes = watcher.Stop();
    EXPECT_EQ(pressed, IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Lexivane Setup Error");
    EXPECT_EQ(boxes[0].text, "Incomplete or damaged installation file!");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].visibleButtons, 1);
    EXPECT_TRUE(boxes[0].okButton);
    EXPECT_EQ(boxes[0].icon, LoadIconA(nullptr, IDI_WARNING));
}

TEST(ShowSystemError, ShowsTheSystemTextForTheLastError) {
    MessageBoxWatcher watcher("Lexivane StartUp Error");
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowSystemError("Lexivane StartUp Error");
    std::vector<SeenBox> boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SystemText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(boxes[0].text.empty());
}

TEST(ShowSystemError, PutsTheInsertsIntoTheText) {
    const char* program = "C:\\Lexivane\\lxv.exe";
    std::string expected = SystemText(ERROR_BAD_EXE_FORMAT, {program});
    ASSERT_NE(expected.find(program), std::string::npos) << "the text names its insert";
    MessageBoxWatcher watcher("Lexivane StartUp Error");
    SetLastError(ERROR_BAD_EXE_FORMAT);
    ShowSystemError("Lexivane StartUp Error", {program});
    std::vector<SeenBox> boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, expected);

    // Inserts that the caller did not give become empty rather than being read from nowhere.
    MessageBoxWatcher second("Lexivane StartUp Error");
    SetLastError(ERROR_BAD_EXE_FORMAT);
    ShowSystemError("Lexivane StartUp Error");
    boxes = second.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SystemText(ERROR_BAD_EXE_FORMAT, {""}));
}

TEST(ShowSystemError, NamesACodeForWhichTheSystemHasNoText) {
    constexpr DWORD kCodeWithoutText = 0x2000DEAD; // a customer code: Windows has no text
    ASSERT_EQ(SystemText(kCodeWithoutText), "");
    MessageBoxWatcher watcher("Lexivane StartUp Error");
    SetLastError(kCodeWithoutText);
    ShowSystemError("Lexivane StartUp Error");
    std::vector<SeenBox> boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("536927917"), std::string::npos) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("0x2000DEAD"), std::string::npos) << boxes[0].text;
}
