// entry_offset.cpp - an entry's data offset from the archive's item layout.
#include "tests/support/entry_offset.h"

#include <gtest/gtest.h>

size_t DataOffset(uint64_t itemStart, const std::string& name) {
    return static_cast<size_t>(itemStart) + name.size() + 1 + 4;
}

size_t DataOffset(const std::vector<unsigned char>& file, const std::string& name, size_t from) {
    std::string text(file.begin(), file.end());
    size_t at = text.find(name + '\0', from);
    EXPECT_NE(at, std::string::npos) << name;
    return DataOffset(at, name);
}
