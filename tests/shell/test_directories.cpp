// test_directories.cpp - listing by position, and testing, creating and emptying real
// directories under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <direct.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/directories.h"
#include "tests/support/host_commands.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class DirectoriesTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& relative) const { return temp.str() + "\\" + relative; }
    void MakeDir(const std::string& relative) { fs::create_directories(Path(relative)); }
    void MakeFile(const std::string& relative, const std::string& text = "x") {
        fs::create_directories(fs::path(Path(relative)).parent_path());
        WriteFileText(Path(relative), text);
        ASSERT_TRUE(Exists(relative)) << relative;
    }
    bool Exists(const std::string& relative) const { return fs::exists(Path(relative)); }
    // The names in the directory, without "." and "..".
    std::vector<std::string> Content(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Path(relative)))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempDir temp;
};

// The platform's own listing of pattern, names in lower case: the order to expect.
std::vector<std::string> PlatformListing(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

// base followed by levels of at most 100 characters, exactly length characters in all.
std::string PathOfLength(const std::string& base, size_t length) {
    std::string path = base;
    while (path.size() < length) {
        size_t level = std::min<size_t>(100, length - path.size() - 1);
        if (level == 0) { // one character left: widen the last level instead
            path.insert(path.size() - 1, 1, 'w');
            continue;
        }
        path += "\\" + std::string(level, 'n');
    }
    return path;
}

// Removes file and then its directories, innermost first, while their paths are longer than
// 200 characters: the clean-up of the test directory cannot list such long ones.
void RemoveLongTree(const std::string& file) {
    std::wstring path = L"\\\\?\\" + fs::path(file).wstring();
    DeleteFileW(path.c_str());
    for (path.resize(path.rfind(L'\\')); path.size() > 4 + 200; path.resize(path.rfind(L'\\')))
        RemoveDirectoryW(path.c_str());
}

class NameCaseScope {
  public:
    explicit NameCaseScope(uint8_t mode) { NameCaseMode = mode; }
    ~NameCaseScope() { NameCaseMode = 1; }
};

} // namespace

// --- FindFileByIndex ---------------------------------------------------------------------

class FindFileByIndexTest : public DirectoriesTest {
  protected:
    void SetUp() override {
        MakeFile("Alpha.TXT", "12345");
        MakeFile("beta.txt");
        MakeDir("Gamma");
        pattern = Path("*.*");
        listing = PlatformListing(pattern);
        ASSERT_EQ(listing.size(), 5u); // ".", "..", and the three entries
    }

    std::string pattern;
    std::vector<std::string> listing;
    FindRecord record;
    intptr_t handle = -1;
};

TEST_F(FindFileByIndexTest, IndexZeroClosesTheSearchAndWritesNothing) {
    char name[kPathSize] = "untouched";
    uint32_t size = 77;
    int32_t time = 77;
    uint8_t attributes = 77;
    EXPECT_EQ(
        FindFileByIndex(&record, &handle, pattern.c_str(), 0, name, &size, &time, &attributes), 0);
    EXPECT_EQ(handle, -1);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(size, 77u);
    EXPECT_EQ(time, 77);
    EXPECT_EQ(attributes, 77);

    ASSERT_EQ(
        FindFileByIndex(&record, &handle, pattern.c_str(), -1, name, nullptr, nullptr, nullptr), 0);
    EXPECT_GE(handle, 0);
    EXPECT_EQ(
        FindFileByIndex(&record, &handle, pattern.c_str(), 0, nullptr, nullptr, nullptr, nullptr),
        0);
    EXPECT_EQ(handle, -1);
}

TEST_F(FindFileByIndexTest, PositiveIndexGivesThatEntryOfAFreshListing) {
    char name[kPathSize];
    for (size_t n = 1; n <= listing.size(); ++n) {
        SCOPED_TRACE(n);
        ASSERT_EQ(FindFileByIndex(&record, &handle, pattern.c_str(), static_cast<int32_t>(n), name,
                                  nullptr, nullptr, nullptr),
                  0);
        EXPECT_EQ(name, listing[n - 1]);
        EXPECT_EQ(handle, -1);
    }
    std::strcpy(name, "untouched");
    EXPECT_EQ(FindFileByIndex(&record, &handle, pattern.c_str(),
                              static_cast<int32_t>(listing.size() + 1), name, nullptr, nullptr,
                              nullptr),
              -1);
    EXPECT_EQ(handle, -1);
    EXPECT_STREQ(name, "untouched");
}

TEST_F(FindFileByIndexTest, MinusOneThenMinusTwoWalksTheListingAndClosesAtItsEnd) {
    char name[kPathSize];
    std::vector<std::string> walked;
    int32_t index = -1;
    while (FindFileByIndex(&record, &handle, pattern.c_str(), index, name, nullptr, nullptr,
                           nullptr) == 0) {
        walked.push_back(name);
        EXPECT_GE(handle, 0) << "the search stays open while entries come";
        index = -2;
        ASSERT_LE(walked.size(), listing.size());
    }
    EXPECT_EQ(walked, listing);
    EXPECT_EQ(handle, -1);
    // Without an open search there is no next entry.
    EXPECT_EQ(
        FindFileByIndex(&record, &handle, pattern.c_str(), -2, name, nullptr, nullptr, nullptr),
        -1);
    EXPECT_EQ(handle, -1);
}

TEST_F(FindFileByIndexTest, HandsOutSizeTimeAndAttributes) {
    uint32_t size = 0;
    int32_t time = 0;
    uint8_t attributes = 0;
    ASSERT_EQ(FindFileByIndex(&record, &handle, Path("alpha.txt").c_str(), 1, nullptr, &size, &time,
                              &attributes),
              0);
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(attributes & kAttributeDirectory);
    EXPECT_LT(std::abs(static_cast<long long>(time) - std::time(nullptr)), 2 * 86400);

    // A pattern without wildcards matches the named entry itself.
    char name[kPathSize];
    ASSERT_EQ(FindFileByIndex(&record, &handle, Path("Gamma").c_str(), 1, name, nullptr, nullptr,
                              &attributes),
              0);
    EXPECT_STREQ(name, "gamma");
    EXPECT_TRUE(attributes & kAttributeDirectory);
}

TEST_F(FindFileByIndexTest, NamesComeOutInTheCaseOfTheMode) {
    EXPECT_EQ(NameCaseMode, 1);
    std::string alpha = Path("alpha.txt");
    char name[kPathSize];
    ASSERT_EQ(FindFileByIndex(&record, &handle, alpha.c_str(), 1, name, nullptr, nullptr, nullptr),
              0);
    EXPECT_STREQ(name, "alpha.txt");
    {
        NameCaseScope upper(2);
        FindFileByIndex(&record, &handle, alpha.c_str(), 1, name, nullptr, nullptr, nullptr);
        EXPECT_STREQ(name, "ALPHA.TXT");
    }
    {
        NameCaseScope asFound(0);
        FindFileByIndex(&record, &handle, alpha.c_str(), 1, name, nullptr, nullptr, nullptr);
        EXPECT_STREQ(name, "Alpha.TXT");
    }
}

TEST_F(FindFileByIndexTest, NoMatchFailsWithTheHandleClosed) {
    uint8_t attributes = 77;
    EXPECT_EQ(FindFileByIndex(&record, &handle, Path("missing*").c_str(), -1, nullptr, nullptr,
                              nullptr, &attributes),
              -1);
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(attributes, 77);
}

TEST_F(FindFileByIndexTest, SharedStateListsLikeOwnState) {
    char name[kPathSize];
    ASSERT_EQ(FindFileByIndexShared(pattern.c_str(), 3, name, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(name, listing[2]);
    std::vector<std::string> walked;
    for (int32_t index = -1;
         FindFileByIndexShared(pattern.c_str(), index, name, nullptr, nullptr, nullptr) == 0;
         index = -2)
        walked.push_back(name);
    EXPECT_EQ(walked, listing);
}

// --- DirectoryExists ---------------------------------------------------------------------

TEST_F(DirectoriesTest, DirectoryExistsWithAndWithoutTrailingBackslashes) {
    MakeDir("dir");
    MakeFile("file");
    EXPECT_EQ(DirectoryExists(Path("dir").c_str()), 1);
    EXPECT_EQ(DirectoryExists(Path("dir\\").c_str()), 1);
    EXPECT_EQ(DirectoryExists(Path("dir\\\\\\").c_str()), 1);
    EXPECT_EQ(DirectoryExists(Path("file").c_str()), 0);
    EXPECT_EQ(DirectoryExists(Path("file\\").c_str()), 0);
    EXPECT_EQ(DirectoryExists(Path("missing").c_str()), 0);
    EXPECT_EQ(DirectoryExists(Path("missing\\").c_str()), 0);
    EXPECT_EQ(DirectoryExists(""), 0);
}

TEST_F(DirectoriesTest, DirectoryExistsRefusesPathsLongerThan259Characters) {
    MakeDir("dir");
    std::string dir = Path("dir");
    EXPECT_EQ(DirectoryExists((dir + std::string(259 - dir.size(), '\\')).c_str()), 1);
    EXPECT_EQ(DirectoryExists((dir + std::string(260 - dir.size(), '\\')).c_str()), 0);
    EXPECT_EQ(DirectoryExists((dir + std::string(300 - dir.size(), '\\')).c_str()), 0);
}

// --- CreatePath --------------------------------------------------------------------------

TEST_F(DirectoriesTest, CreatePathMakesEveryLevelAndRestoresThePath) {
    std::string path = Path("one\\two\\three");
    std::string before = path;
    EXPECT_EQ(CreatePath(path.data()), 1);
    EXPECT_EQ(path, before);
    EXPECT_EQ(DirectoryExists(Path("one\\two\\three").c_str()), 1);

    // All levels there already, and a trailing backslash.
    EXPECT_EQ(CreatePath(path.data()), 1);
    std::string withBackslash = Path("one\\two\\four\\");
    EXPECT_EQ(CreatePath(withBackslash.data()), 1);
    EXPECT_EQ(withBackslash, Path("one\\two\\four\\"));
    EXPECT_EQ(DirectoryExists(Path("one\\two\\four").c_str()), 1);
}

TEST_F(DirectoriesTest, CreatePathFailsOnADriveThatDoesNotExist) {
    DWORD drives = GetLogicalDrives();
    char letter = 0;
    for (char c = 'Y'; c >= 'D' && !letter; --c)
        if (!(drives & (1u << (c - 'A'))))
            letter = c;
    ASSERT_NE(letter, 0) << "every drive letter is mapped";
    std::string path = std::string(1, letter) + ":\\Lexivane\\sub";
    EXPECT_EQ(CreatePath(path.data()), 0);
    EXPECT_EQ(path, std::string(1, letter) + ":\\Lexivane\\sub");
}

TEST_F(DirectoriesTest, CreatePathTakesTheEmptyPathAndABareDrive) {
    char empty[] = "";
    EXPECT_EQ(CreatePath(empty), 1);
    char drive[] = "C:";
    EXPECT_EQ(CreatePath(drive), 1);
    char root[] = "C:\\";
    EXPECT_EQ(CreatePath(root), 1);
}

TEST_F(DirectoriesTest, CreatePathWithALeadingBackslashStaysOnTheCurrentDrive) {
    char previous[MAX_PATH];
    ASSERT_NE(_getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(_chdir(temp.str().c_str()), 0);
    std::string path = Path("lead\\two").substr(2); // without the drive designator
    ASSERT_EQ(path[0], '\\');
    int result = CreatePath(path.data());
    _chdir(previous);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(DirectoryExists(Path("lead\\two").c_str()), 1);
}

TEST_F(DirectoriesTest, CreatePathTakes259CharactersAndRefusesLonger) {
    std::string longest = PathOfLength(Path("at259"), 259);
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_EQ(CreatePath(longest.data()), 1);
    EXPECT_TRUE(fs::is_directory(longest));

    for (size_t length : {260u, 300u}) {
        SCOPED_TRACE(length);
        std::string base = "over" + std::to_string(length);
        std::string tooLong = PathOfLength(Path(base), length);
        ASSERT_EQ(tooLong.size(), length);
        std::string before = tooLong;
        EXPECT_EQ(CreatePath(tooLong.data()), 0);
        EXPECT_EQ(tooLong, before);
        EXPECT_FALSE(Exists(base)) << "not even the first level is made";
    }
}

// --- WipeDirectory -----------------------------------------------------------------------

TEST_F(DirectoriesTest, WipeEmptiesANestedTreeAndKeepsTheDirectory) {
    MakeFile("dir\\a\\b\\c\\deep.txt");
    MakeFile("dir\\a\\b\\middle.txt");
    MakeFile("dir\\a\\top.txt");
    MakeDir("dir\\empty\\emptier");
    MakeFile("dir\\Mixed Case.TXT");
    EXPECT_EQ(WipeDirectory(Path("dir").c_str(), 0), 0);
    EXPECT_TRUE(Exists("dir"));
    EXPECT_TRUE(Content("dir").empty());

    MakeFile("gone\\a\\b\\file.txt");
    EXPECT_EQ(WipeDirectory(Path("gone").c_str(), 1), 1);
    EXPECT_FALSE(Exists("gone"));
}

TEST_F(DirectoriesTest, WipeLeavesAReadOnlyFileAndEveryDirectoryAboveIt) {
    MakeFile("dir\\keep\\deeper\\locked.txt");
    MakeFile("dir\\keep\\deeper\\other.txt");
    MakeFile("dir\\keep\\sibling.txt");
    MakeFile("dir\\gone\\file.txt");
    MakeFile("dir\\top.txt");
    ASSERT_TRUE(
        SetFileAttributesA(Path("dir\\keep\\deeper\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(WipeDirectory(Path("dir").c_str(), 1), 0);
    EXPECT_TRUE(Exists("dir\\keep\\deeper\\locked.txt"));
    EXPECT_EQ(Content("dir"), std::vector<std::string>{"keep"});
    EXPECT_EQ(Content("dir\\keep"), std::vector<std::string>{"deeper"});
    EXPECT_EQ(Content("dir\\keep\\deeper"), std::vector<std::string>{"locked.txt"});
}

// The read-only file that the wipe would leave is found before anything is deleted; what the
// wipe leaves by design (a directory named with a dot, and its content) blocks nothing and
// frees nothing, and each file it would delete frees whole clusters.
TEST_F(DirectoriesTest, SurveyNamesAReadOnlyFileCountsTheFreedClustersAndDeletesNothing) {
    MakeFile("dir\\.hidden\\locked.txt", std::string(9000, 'h'));
    ASSERT_TRUE(
        SetFileAttributesA(Path("dir\\.hidden\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    MakeFile("dir\\top.txt", std::string(5000, 't'));
    MakeFile("dir\\sub\\small.txt");
    char blocker[kPathSize] = "";
    uint64_t freed = 0;
    EXPECT_EQ(SurveyWipe(Path("dir").c_str(), 4096, &freed, blocker), 1);
    EXPECT_EQ(freed, 3u * 4096);

    MakeFile("dir\\keep\\deeper\\locked.txt");
    ASSERT_TRUE(
        SetFileAttributesA(Path("dir\\keep\\deeper\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SurveyWipe(Path("dir").c_str(), 4096, &freed, blocker), 0);
    EXPECT_EQ(Path("dir\\keep\\deeper\\locked.txt"), blocker);
    EXPECT_TRUE(Exists("dir\\top.txt"));
    EXPECT_TRUE(Exists("dir\\keep\\deeper\\locked.txt"));
}

TEST_F(DirectoriesTest, WipeLeavesDirectoriesNamedWithADotButNotSuchFiles) {
    MakeFile("dir\\.hidden\\inner.txt");
    MakeFile("dir\\.dotfile");
    MakeFile("dir\\plain\\file.txt");
    EXPECT_EQ(WipeDirectory(Path("dir").c_str(), 0), 0);
    EXPECT_EQ(Content("dir"), std::vector<std::string>{".hidden"});
    EXPECT_TRUE(Exists("dir\\.hidden\\inner.txt"));
}

TEST_F(DirectoriesTest, WipeOfAnEmptyOrMissingDirectoryReportsOnlyItsOwnRemoval) {
    MakeDir("empty");
    EXPECT_EQ(WipeDirectory(Path("empty").c_str(), 0), 0);
    EXPECT_TRUE(Exists("empty"));
    EXPECT_EQ(WipeDirectory(Path("empty").c_str(), 1), 1);
    EXPECT_FALSE(Exists("empty"));
    EXPECT_EQ(WipeDirectory(Path("missing").c_str(), 1), 0);
    EXPECT_EQ(WipeDirectory(Path("missing").c_str(), 0), 0);
}

TEST_F(DirectoriesTest, WipeLeavesEntriesWhoseFullPathDoesNotFitAPathBuffer) {
    // The wide file functions take the longer paths that the 8-bit ones cannot.
    std::string dir = Path("dir");
    std::string at259 = PathOfLength(dir, 259);
    std::string at260 = PathOfLength(dir + "\\b", 260);
    std::string at300 = PathOfLength(dir + "\\c", 300);
    for (const std::string& file : {at259, at260, at300}) {
        fs::create_directories(fs::path(file).parent_path());
        WriteFileText(file, "x");
        ASSERT_TRUE(fs::exists(file)) << file.size();
    }

    EXPECT_EQ(WipeDirectory(dir.c_str(), 0), 0);
    EXPECT_FALSE(fs::exists(at259));
    EXPECT_TRUE(fs::exists(at260));
    EXPECT_TRUE(fs::exists(at300));
    RemoveLongTree(at260);
    RemoveLongTree(at300);
}

TEST_F(DirectoriesTest, WipeRefusesADirectoryWhosePatternDoesNotFit) {
    for (size_t length : {256u, 259u, 260u, 300u}) {
        SCOPED_TRACE(length);
        std::string dir = PathOfLength(Path("w" + std::to_string(length)), length);
        ASSERT_EQ(dir.size(), length);
        fs::create_directories(dir);
        WriteFileText(dir + "\\f", "x");
        EXPECT_EQ(WipeDirectory(dir.c_str(), 1), 0);
        EXPECT_TRUE(fs::exists(dir + "\\f"));
        RemoveLongTree(dir + "\\f");
    }
    // The longest directory that can still be listed: its pattern takes 259 characters.
    std::string dir = PathOfLength(Path("w255"), 255);
    fs::create_directories(dir);
    WriteFileText(dir + "\\f", "x");
    EXPECT_EQ(WipeDirectory(dir.c_str(), 1), 1);
}

// --- Links -------------------------------------------------------------------------------

namespace {

bool IsDirectoryLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The host's file name of a Windows path under Wine; empty elsewhere.
std::string UnixFileName(const std::string& path) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    char* name = unixName(fs::path(path).wstring().c_str());
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Wine gives no handle to wait on for a host process, so a host command is waited for until
// its effect shows, up to 10 s.
constexpr DWORD kHostCommandTime = 10000;

// A link to a directory, for the length of a test. Windows makes it with
// CreateSymbolicLinkA. Wine 8 cannot: there CreateSymbolicLinkA is a stub that makes nothing,
// and junctions are not supported. Wine does report a Unix symbolic link to a directory as a
// directory reparse point, so under Wine the link is made by the host's ln.
class DirectoryLink {
  public:
    DirectoryLink(std::string link, const std::string& target) : link_(std::move(link)) {
        if (CreateSymbolicLinkA(link_.c_str(), target.c_str(),
                                SYMBOLIC_LINK_FLAG_DIRECTORY |
                                    SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
            IsDirectoryLink(link_))
            return;
        std::string unixLink = UnixFileName(link_), unixTarget = UnixFileName(target);
        if (!unixLink.empty() && !unixTarget.empty())
            RunOnHost(
                "ln -s '" + unixTarget + "' '" + unixLink + "'", [&] { return made(); },
                kHostCommandTime);
    }
    // Removed before the temporary directory, whose clean-up would follow the link.
    ~DirectoryLink() {
        if (RemoveDirectoryA(link_.c_str()))
            return;
        std::string unixLink = UnixFileName(link_);
        if (!unixLink.empty())
            RunOnHost(
                "rm -f '" + unixLink + "'", [&] { return !made(); }, kHostCommandTime);
    }
    bool made() const { return IsDirectoryLink(link_); }

  private:
    std::string link_;
};

} // namespace

TEST_F(DirectoriesTest, WipeNeverEntersALinkToAnotherDirectory) {
    MakeFile("outside\\precious.txt");
    MakeFile("outside\\deeper\\precious.txt");
    MakeFile("dir\\a.txt");
    MakeFile("dir\\sub\\b.txt");
    DirectoryLink link(Path("dir\\link"), Path("outside"));
    if (!link.made())
        GTEST_SKIP() << "no link to a directory can be made here";

    EXPECT_EQ(WipeDirectory(Path("dir").c_str(), 0), 0);
    EXPECT_TRUE(Exists("outside\\precious.txt"));
    EXPECT_TRUE(Exists("outside\\deeper\\precious.txt"));
    EXPECT_FALSE(Exists("dir\\a.txt"));
    EXPECT_FALSE(Exists("dir\\sub"));
    // Windows removes the link itself. Wine 8's RemoveDirectory looks through a link to a
    // directory that is not empty and refuses, so there the link stays; either way its
    // target is untouched.
    std::printf("the link was %s\n", link.made() ? "left in place" : "removed");
}
