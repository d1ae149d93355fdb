// test_win_crt.cpp - the C runtime's files and the Win32 API work in the test environment.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "tests/support/temp_dir.h"

TEST(WinCrt, WritesAFileAndReadsItBack) {
    TempDir dir;
    std::string file = (dir.path() / "crt.txt").string();
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("written through the C runtime", out);
    std::fclose(out);
    char buffer[64] = {};
    FILE* in = std::fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::fread(buffer, 1, sizeof buffer - 1, in);
    std::fclose(in);
    EXPECT_STREQ(buffer, "written through the C runtime");
    EXPECT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
}
