// entry_name.cpp - refusing archive names that would escape the install directory.
#include "payload/entry_name.h"

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

int IsSafeEntryName(const char* name) {
    if (IsSeparator(name[0]))
        return 0;
    const char* level = name;
    for (const char* p = name;; ++p) {
        if (*p == ':')
            return 0;
        if (*p == 0 || IsSeparator(*p)) {
            if (IsParentLevel(level, p))
                return 0;
            if (*p == 0)
                return 1;
            level = p + 1;
        }
    }
}
