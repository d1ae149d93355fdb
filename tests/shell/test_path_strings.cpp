// test_path_strings.cpp - adding and dropping trailing backslashes, and long paths.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/install_state.h"
#include "shell/path_strings.h"

namespace {

// A path buffer of exactly kPathSize bytes on the heap, so that a write beyond it is caught
// by the address sanitizer.
struct PathBuffer {
    std::unique_ptr<char[]> bytes{new char[kPathSize]};
    explicit PathBuffer(const std::string& text = "") { Set(text); }
    void Set(const std::string& text) {
        ASSERT_LT(text.size(), static_cast<size_t>(kPathSize));
        std::copy(text.c_str(), text.c_str() + text.size() + 1, bytes.get());
    }
    char* get() { return bytes.get(); }
    std::string str() const { return bytes.get(); }
};

std::string Normalized(const std::string& path) {
    PathBuffer buffer(path);
    NormalizeDirectory(buffer.get());
    return buffer.str();
}

std::string Stripped(const std::string& path) {
    PathBuffer buffer(path);
    StripTrailingBackslash(buffer.get());
    return buffer.str();
}

std::string Copied(const std::string& source) {
    PathBuffer destination;
    char* end = CopyWithoutTrailingBackslashes(source.c_str(), destination.get());
    EXPECT_NE(end, nullptr);
    if (end) {
        EXPECT_EQ(end - destination.get(), static_cast<ptrdiff_t>(destination.str().size()));
    }
    return destination.str();
}

} // namespace

TEST(NormalizeDirectory, AppendsOneBackslashWhereNamesWillFollow) {
    EXPECT_EQ(Normalized(""), "");
    EXPECT_EQ(Normalized("C:"), "C:");
    EXPECT_EQ(Normalized("C:\\Lexivane"), "C:\\Lexivane\\");
    EXPECT_EQ(Normalized(Normalized("C:\\Lexivane")), "C:\\Lexivane\\");
    EXPECT_EQ(Normalized("C:\\"), "C:\\");
    // The forward slash is an ordinary character, not a separator.
    EXPECT_EQ(Normalized("C:\\Lexivane/"), "C:\\Lexivane/\\");
}

TEST(NormalizeDirectory, LeavesAPathWithoutRoomForTheBackslash) {
    std::string fits(kPathSize - 2, 'a');
    EXPECT_EQ(Normalized(fits), fits + "\\");
    std::string full(kPathSize - 1, 'a');
    EXPECT_EQ(Normalized(full), full);
}

TEST(StripTrailingBackslash, DropsExactlyOne) {
    EXPECT_EQ(Stripped("C:\\Lexivane\\"), "C:\\Lexivane");
    EXPECT_EQ(Stripped("C:\\Lexivane\\\\"), "C:\\Lexivane\\");
    EXPECT_EQ(Stripped("C:\\Lexivane"), "C:\\Lexivane");
    EXPECT_EQ(Stripped("\\"), "");
    EXPECT_EQ(Stripped(""), "");
}

TEST(CopyWithoutTrailingBackslashes, DropsAllOfThem) {
    EXPECT_EQ(Copied("C:\\Lexivane\\\\\\"), "C:\\Lexivane");
    EXPECT_EQ(Copied("C:\\"), "C:");
    EXPECT_EQ(Copied("\\\\\\"), "");
    EXPECT_EQ(Copied(""), "");
    EXPECT_EQ(Copied("C:\\Lexivane"), "C:\\Lexivane");
    EXPECT_EQ(Copied("C:\\a\\b/"), "C:\\a\\b/");
}

TEST(CopyWithoutTrailingBackslashes, TakesPathsUpTo259CharactersAndRefusesLongerOnes) {
    std::string longest = "C:\\" + std::string(kPathSize - 1 - 3, 'x');
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_EQ(Copied(longest), longest);
    std::string backslashes = "C:\\dir" + std::string(259 - 6, '\\');
    EXPECT_EQ(Copied(backslashes), "C:\\dir");

    for (size_t length : {260u, 300u}) {
        SCOPED_TRACE(length);
        std::string tooLong = "C:\\" + std::string(length - 3, 'x');
        PathBuffer destination("untouched");
        EXPECT_EQ(CopyWithoutTrailingBackslashes(tooLong.c_str(), destination.get()), nullptr);
        EXPECT_EQ(destination.str(), "");
        // Trailing backslashes do not make a source that is too long acceptable.
        std::string padded = "C:\\dir" + std::string(length - 6, '\\');
        EXPECT_EQ(CopyWithoutTrailingBackslashes(padded.c_str(), destination.get()), nullptr);
    }
}

// In a double-byte code page the second byte of a character can be the backslash or a letter:
// 表 is 95 5C and ア is 83 41 in code page 932. This program runs once more in that code page
// (see CMakeLists.txt).
const std::string kHyo = "\x95\x5C";
const std::string kA = "\x83\x41";

TEST(DoubleByteCodePage, TrailBytesAreNeitherBackslashesNorLetters) {
    if (!IsLeadByte('\x95'))
        GTEST_SKIP() << "a single-byte code page";
    EXPECT_EQ(Normalized("C:\\" + kHyo), "C:\\" + kHyo + "\\");
    EXPECT_EQ(Stripped("C:\\" + kHyo), "C:\\" + kHyo);
    EXPECT_EQ(Stripped("C:\\" + kHyo + "\\"), "C:\\" + kHyo);
    EXPECT_EQ(Copied("C:\\" + kHyo + "\\\\"), "C:\\" + kHyo);
    PathBuffer name(kA + "A" + kHyo + "B");
    LowerCaseLetters(name.get());
    EXPECT_EQ(name.str(), kA + "a" + kHyo + "b");
    // A lead byte without its trail byte at the end stands alone.
    EXPECT_EQ(Normalized("C:\\\x95"), "C:\\\x95\\");
}

// In a single-byte code page, and on the builder's host in any locale, every byte is one
// character: the same bytes are a character followed by a backslash.
TEST(DoubleByteCodePage, EveryByteIsACharacterWhereNoneLeads) {
    if (IsLeadByte('\x95'))
        GTEST_SKIP() << "a double-byte code page";
    EXPECT_EQ(Normalized("C:\\" + kHyo), "C:\\" + kHyo);
    EXPECT_EQ(Stripped("C:\\" + kHyo), "C:\\\x95");
    EXPECT_EQ(Copied("C:\\" + kHyo + "\\\\"), "C:\\\x95");
    PathBuffer name(kA + "A");
    LowerCaseLetters(name.get());
    EXPECT_EQ(name.str(), "\x83\x61"
                          "a");
}
