// directory_names.cpp - listing a directory without throwing.
#include "tests/support/directory_names.h"

#include <algorithm>
#include <system_error>

#include "tests/support/lower_case.h"

namespace fs = std::filesystem;

std::vector<std::wstring> NamesOnDisk(const fs::path& dir) {
    std::vector<std::wstring> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        names.push_back(it->path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

std::set<std::string> NamesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const std::wstring& name : NamesOnDisk(dir))
        names.insert(Lower(fs::path(name).string()));
    return names;
}
