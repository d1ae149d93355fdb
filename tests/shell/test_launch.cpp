// test_launch.cpp - starting programs, opening documents and the texts of their failures,
// with the boxes closed by a second thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/launch.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/shell_objects.h"
#include "tests/support/system_text.h"
#include "tests/support/temp_dir.h"

namespace {

std::string ViewCaption(const std::string& path) {
    return "ERROR viewing " + path;
}

// The boxes that action provokes, expected under caption.
template <typename Action> std::vector<SeenBox> BoxesOf(const std::string& caption, Action action) {
    MessageBoxWatcher watcher(caption);
    action();
    return watcher.Stop();
}

} // namespace

TEST(StartupSettings, SetOnlySizeFlagsAndShowState) {
    STARTUPINFOA expected = {};
    expected.cb = sizeof expected;
    expected.dwFlags = STARTF_USESHOWWINDOW;
    expected.wShowWindow = SW_SHOWNORMAL;
    EXPECT_EQ(std::memcmp(&startupSettings, &expected, sizeof expected), 0);
    EXPECT_EQ(waitCursor, nullptr);
    EXPECT_EQ(ownerWindow, nullptr);
}

TEST(ShowViewError, ShowsTheTextOfAResultBelow32UnderTheDocumentsCaption) {
    const std::string path = "C:\\Lexivane\\readme.wri";
    std::vector<SeenBox> boxes =
        BoxesOf(ViewCaption(path), [&] { ShowViewError(path.c_str(), 2); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, ViewCaption(path));
    EXPECT_EQ(boxes[0].text, "File not found");
    EXPECT_EQ(boxes[0].owner, nullptr);

    boxes = BoxesOf(ViewCaption(path), [&] { ShowViewError(path.c_str(), 31); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, ViewCaption(path));
    EXPECT_EQ(boxes[0].text, "No Executable Application associated with this file");
}

TEST(ShowViewError, ShowsNothingFrom32On) {
    const std::string path = "C:\\Lexivane\\readme.wri";
    for (uintptr_t result : {uintptr_t{32}, uintptr_t{33}, uintptr_t{1000}, ~uintptr_t{0}}) {
        EXPECT_TRUE(
            BoxesOf(ViewCaption(path), [&] { ShowViewError(path.c_str(), result); }).empty())
            << result;
    }
}

TEST(ShowViewError, CutsTheCaptionOfAPathTooLongForIt) {
    std::string path = "C:\\" + std::string(297, 'p');
    std::string caption = ViewCaption(path).substr(0, 275);
    std::vector<SeenBox> boxes = BoxesOf(caption, [&] { ShowViewError(path.c_str(), 3); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].text, "Path not found");
}

TEST(ViewErrorTexts, HoldsAFixedTextForEveryResultBelow32) {
    EXPECT_STREQ(ViewErrorTexts[0], "Out of Memory or Corrupted Application");
    EXPECT_STREQ(ViewErrorTexts[13], "Application was designed for MS-Dos 4.0");
    EXPECT_STREQ(ViewErrorTexts[21], "Application requires Windows 32-bit extensions");
    for (int result = 0; result < 32; ++result)
        ASSERT_NE(ViewErrorTexts[result], nullptr) << result;
}

class LaunchTest : public ::testing::Test {
  protected:
    TempDir temp;
};

TEST_F(LaunchTest, ViewDocumentReportsAMissingDocumentAndLeavesTheWaitCursor) {
    waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    // The pointer stays off the box, which would otherwise set its own cursor.
    SetCursorPos(0, 0);
    std::string path = temp.str() + "\\readme.wri";
    std::vector<SeenBox> boxes = BoxesOf(ViewCaption(path), [&] { ViewDocument(path.c_str()); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, ViewCaption(path));
    EXPECT_EQ(boxes[0].text, "File not found");
    EXPECT_EQ(GetCursor(), waitCursor);
    waitCursor = nullptr;
}

TEST_F(LaunchTest, ViewDocumentReportsADocumentWithoutAssociation) {
    std::string path = temp.str() + "\\readme.lxvnone";
    WriteFileText(path, "no program opens this");
    std::vector<SeenBox> boxes = BoxesOf(ViewCaption(path), [&] { ViewDocument(path.c_str()); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No Executable Application associated with this file");
    EXPECT_TRUE(ComIsUninitialised()) << "COM is initialised for the opening, and only for it";
}

TEST_F(LaunchTest, RunProgramShowsTheSystemTextForAMissingProgram) {
    std::string command = temp.str() + "\\lxv.exe";
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cross);
    SetCursorPos(0, 0);
    int result = 1;
    std::vector<SeenBox> boxes = BoxesOf("Lexivane StartUp Error", [&] {
        result = RunProgram(command.data(), "Lexivane StartUp Error");
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Lexivane StartUp Error");
    EXPECT_EQ(boxes[0].text, SystemText(ERROR_FILE_NOT_FOUND, {command.c_str()}));
    EXPECT_EQ(GetCursor(), cross) << "the wait cursor ends with the call";
}

// The program that RunProgram starts in the next test: this test program again, running
// only this test. It waits for a file that appears only after RunProgram has returned, then
// leaves a file of its own. In an ordinary run it has nothing to do.
TEST(ChildProgram, WaitsForGoThenSaysDone) {
    const char* directory = std::getenv("LXV_LAUNCH_CHILD_DIR");
    if (!directory)
        GTEST_SKIP() << "only started by RunProgram";
    std::string go = std::string(directory) + "\\go";
    for (int i = 0; i < 400 && !std::filesystem::exists(go); ++i)
        Sleep(25);
    ASSERT_TRUE(std::filesystem::exists(go));
    WriteFileText(std::string(directory) + "\\done", "started");
}

TEST_F(LaunchTest, RunProgramStartsAProgramAndDoesNotWaitForIt) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command =
        "\"" + std::string(self) + "\" --gtest_filter=ChildProgram.WaitsForGoThenSaysDone";
    SetEnvironmentVariableA("LXV_LAUNCH_CHILD_DIR", temp.str().c_str());
    int result = 0;
    std::vector<SeenBox> boxes = BoxesOf("Lexivane StartUp Error", [&] {
        result = RunProgram(command.data(), "Lexivane StartUp Error");
    });
    SetEnvironmentVariableA("LXV_LAUNCH_CHILD_DIR", nullptr);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(boxes.empty());

    std::filesystem::path done = temp.path() / "done";
    EXPECT_FALSE(std::filesystem::exists(done)) << "the program cannot be done before go";
    WriteFileText(temp.path() / "go", "");
    for (int i = 0; i < 400 && !std::filesystem::exists(done); ++i)
        Sleep(25);
    EXPECT_TRUE(std::filesystem::exists(done));
    Sleep(500); // the program ends before its directory is removed
}
