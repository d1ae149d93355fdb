// entry_tables.h - the fixed tables that decide which entries and shortcuts an installation gets.
#pragma once

#include <cstdint>

struct ShortcutEntry {
    const char* linkName;   // file name of the shortcut inside the program group
    const char* targetName; // file name of the target, relative to the install directory
    uint8_t optionMask;     // made when mask AND the install option is non-zero
};

struct FilterEntry {
    const char* pattern; // a MatchPattern pattern, matched against the entry name
    uint8_t optionMask;  // a matching entry is installed when mask AND the option is non-zero
};

constexpr int kShortcutCount = 8;
constexpr int kFilterCount = 12;

extern const ShortcutEntry kShortcutTable[kShortcutCount];
extern const FilterEntry kFilterTable[kFilterCount];
