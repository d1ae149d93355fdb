// entry_name.cpp - refusing archive names that would escape the install directory or open a
// device.
#include "payload/entry_name.h"

#include <cstddef>

static bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows drops trailing dots and blanks from path levels, so "..", "... " and ". ." may all
// come to mean the parent. A level made only of dots and blanks with two dots or more is
// taken for one.
static bool IsParentLevel(const char* begin, const char* end) {
    int dots = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p == '.')
            ++dots;
        else if (*p != ' ')
            return false;
    }
    return dots >= 2;
}

static char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Windows opens a device for these base names in every directory: "c:\lexivane\nul" is the
// null device, "com1.txt" a serial port. The list is Windows' own: besides the ports 1 to 9,
// it names ports 0 and the superscript digits of code page 1252 (0xB9, 0xB2, 0xB3), and the
// console's two names.
static bool IsDeviceBaseName(const char* begin, const char* end) {
    static const char* const kDevices[] = {"con", "nul", "aux", "prn", "conin$", "conout$"};
    static const char kPortDigits[] = "0123456789\xB9\xB2\xB3";
    size_t length = static_cast<size_t>(end - begin);
    for (const char* device : kDevices) {
        size_t i = 0;
        while (device[i] != 0 && i < length && Lower(begin[i]) == device[i])
            ++i;
        if (device[i] == 0 && i == length)
            return true;
    }
    if (length != 4)
        return false;
    bool com = Lower(begin[0]) == 'c' && Lower(begin[1]) == 'o' && Lower(begin[2]) == 'm';
    bool lpt = Lower(begin[0]) == 'l' && Lower(begin[1]) == 'p' && Lower(begin[2]) == 't';
    if (!com && !lpt)
        return false;
    for (const char* digit = kPortDigits; *digit != 0; ++digit)
        if (begin[3] == *digit)
            return true;
    return false;
}

// A level names a device when, with its trailing dots and blanks dropped, the part in front
// of its first dot, with that part's trailing blanks dropped, is a device name: "nul",
// "NUL.txt", "nul .txt", "con." and "aux. ." all do; "nul1", "xnul" and " nul" do not.
static bool IsDeviceLevel(const char* begin, const char* end) {
    while (end != begin && (end[-1] == '.' || end[-1] == ' '))
        --end;
    const char* base = begin;
    while (base != end && *base != '.')
        ++base;
    while (base != begin && base[-1] == ' ')
        --base;
    return IsDeviceBaseName(begin, base);
}

int IsSafeEntryName(const char* name) {
    if (IsSeparator(name[0]))
        return 0;
    const char* level = name;
    for (const char* p = name;; ++p) {
        if (*p == ':')
            return 0;
        if (*p == 0 || IsSeparator(*p)) {
            if (IsParentLevel(level, p) || IsDeviceLevel(level, p))
                return 0;
            if (*p == 0)
                return 1;
            level = p + 1;
        }
    }
}
