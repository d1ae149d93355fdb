// test_e2e_properties.cpp - what a user sees in the setup file's properties: its version
// information as Windows' own version functions read it, for the language it names.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/setup_driver.h"

namespace e2e {
namespace {

TEST(SetupFileProperties, VersionInformationReadsThroughTheVersionFunctions) {
    const std::string file = BuiltSetupFile().string();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    ASSERT_NE(0u, size) << file;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%lu.%lu.%lu",
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)));
    EXPECT_EQ(LXV_VERSION, std::string(numbers));
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

    // The strings are looked up, as the shell does, under the language the file names.
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    auto value = [&](const char* name) {
        char query[128];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                      translation[1], name);
        char* text = nullptr;
        UINT chars = 0;
        if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&text), &chars))
            return std::string("(none)");
        return std::string(text);
    };
    EXPECT_EQ("Lexivane", value("ProductName"));
    EXPECT_EQ("Lexivane Setup", value("FileDescription"));
    EXPECT_EQ(LXV_VERSION, value("FileVersion"));
    EXPECT_EQ(LXV_VERSION, value("ProductVersion"));
    EXPECT_EQ("LEXIVANE.EXE", value("OriginalFilename"));
    EXPECT_NE("(none)", value("CompanyName"));
    EXPECT_EQ(0u, value("LegalCopyright").rfind("Copyright (C) ", 0));
}

} // namespace
} // namespace e2e
