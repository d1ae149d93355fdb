// directory_names.h - what a directory holds, by name.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// The names in a directory (files and sub-directories) exactly as they are written on disk,
// sorted; none if it cannot be read.
std::vector<std::wstring> NamesOnDisk(const std::filesystem::path& dir);
// The same names in the system code page, lower-cased: for comparisons that, as Windows
// does, ignore the case.
std::set<std::string> NamesIn(const std::filesystem::path& dir);
