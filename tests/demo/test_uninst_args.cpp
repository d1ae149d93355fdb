// test_uninst_args.cpp - the uninstaller's command line is split right, and no group name that
// could reach beyond one folder of the Programs folder is accepted.
#include <gtest/gtest.h>

#include <string>

#include "demo/uninst/uninst_args.h"

namespace {

struct Parsed {
    bool ok;
    std::string group;
    bool quiet;
};

Parsed Parse(const char* commandLine) {
    UninstallArguments arguments;
    bool ok = ParseUninstallArguments(commandLine, &arguments);
    return {ok, arguments.group, arguments.quiet};
}

} // namespace

TEST(UninstallArguments, TakesTheGroupAndTheQuietSwitch) {
    Parsed plain = Parse("Lexivane");
    EXPECT_TRUE(plain.ok);
    EXPECT_EQ(plain.group, "Lexivane");
    EXPECT_FALSE(plain.quiet);

    Parsed quiet = Parse("  Lexivane\t/QUIET  ");
    EXPECT_TRUE(quiet.ok);
    EXPECT_EQ(quiet.group, "Lexivane");
    EXPECT_TRUE(quiet.quiet);

    Parsed quoted = Parse("\"Lexivane Tools\" /quiet");
    EXPECT_TRUE(quoted.ok);
    EXPECT_EQ(quoted.group, "Lexivane Tools");
}

TEST(UninstallArguments, RefusesWhatItCannotRead) {
    EXPECT_FALSE(Parse("").ok);
    EXPECT_FALSE(Parse("   ").ok);
    EXPECT_FALSE(Parse("Lexivane /silent").ok);
    EXPECT_FALSE(Parse("Lexivane /quiet /quiet").ok);
    EXPECT_FALSE(Parse("Lexivane /quiet extra").ok);
    // "/quiet" alone names no group, but a refusal must stay silent all the same.
    Parsed onlyQuiet = Parse("/quiet");
    EXPECT_FALSE(onlyQuiet.ok);
    EXPECT_TRUE(onlyQuiet.quiet);
    Parsed badSwitch = Parse("a b /quiet");
    EXPECT_FALSE(badSwitch.ok);
    EXPECT_TRUE(badSwitch.quiet);
}

TEST(UninstallArguments, ANameThatDoesNotFitIsRefusedNotCut) {
    std::string longest(kGroupNameSize - 1, 'x');
    EXPECT_TRUE(Parse(longest.c_str()).ok);
    EXPECT_EQ(Parse(longest.c_str()).group, longest);
    std::string tooLong(kGroupNameSize, 'x');
    EXPECT_FALSE(Parse(tooLong.c_str()).ok);
    EXPECT_FALSE(Parse((tooLong + " /quiet").c_str()).ok);
}

TEST(GroupName, AcceptsPlainFolderNames) {
    for (const char* name : {"Lexivane", "Lexivane Tools", "Lexivane 1.0", ".Lexivane", "a"}) {
        EXPECT_TRUE(IsSafeGroupName(name)) << name;
    }
}

TEST(GroupName, RefusesEverythingThatLeavesTheFolder) {
    for (const char* name : {"",
                             "..",
                             "..\\x",
                             "x\\..",
                             "Lexivane..Old",
                             "a\\b",
                             "a/b",
                             "/x",
                             "C:",
                             "C:x",
                             "\\\\server\\share",
                             ".",
                             "...",
                             " ",
                             " . ",
                             "*",
                             "Lex?vane",
                             "a\"b",
                             "a<b",
                             "a>b",
                             "a|b",
                             "a\tb",
                             "a\nb"}) {
        EXPECT_FALSE(IsSafeGroupName(name)) << '"' << name << '"';
    }
    EXPECT_FALSE(IsSafeGroupName(nullptr));
}
