// entry_name.cpp - refusing archive names that would escape the install directory, open a
// device, or that Windows cannot create as they stand.
#include "payload/entry_name.h"

#include <cstddef>
#include <cstring>

#include "shell/path_strings.h"

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

// Windows refuses these in a name, and the control characters 1 to 31. '\' separates levels;
// '/' would too, but the archive's separator is '\' alone, so a '/' is taken for what it
// is on every other system, a character a name cannot hold.
static bool IsReservedCharacter(char c) {
    return (c > 0 && c < 32) || std::strchr("<>:\"/|?*", c) != nullptr;
}

// The character after p, by the given lead bytes or else by the system code page's.
static const char* Next(const char* p, const bool* leadBytes) {
    if (leadBytes == nullptr)
        return NextCharacter(p);
    return leadBytes[static_cast<unsigned char>(*p)] && p[1] != 0 ? p + 2 : p + 1;
}

const char* EntryNameFault(const char* name, const bool* leadBytes) {
    if (name[0] == '\\')
        return "it begins with a separator";
    const char* level = name;
    const char* last = name; // the first byte of the level's last character
    for (const char* p = name;; p = Next(p, leadBytes)) {
        if (*p == 0 || *p == '\\') {
            if (IsParentLevel(level, p))
                return "a level is '..', which leaves the install directory";
            if (IsDeviceLevel(level, p))
                return "a level names a Windows device (con, nul, aux, prn, com1, lpt1, ... "
                       "with any extension)";
            // Windows drops a trailing dot or blank, so the file would get another name.
            if (p != level && (*last == '.' || *last == ' '))
                return "a level ends in a dot or a blank";
            if (*p == 0)
                return nullptr;
            level = p + 1;
        } else if (IsReservedCharacter(*p)) {
            return "it holds a character Windows refuses in names (< > : \" / | ? * or a "
                   "control character)";
        }
        last = p;
    }
}

int IsSafeEntryName(const char* name) {
    return EntryNameFault(name, nullptr) == nullptr;
}
