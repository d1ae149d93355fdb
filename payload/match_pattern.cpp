// match_pattern.cpp - the wildcard matcher of the entry selection.
#include "payload/match_pattern.h"

static char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int MatchPattern(const char* name, const char* pattern) {
    for (;; ++name, ++pattern) {
        // A '*' anywhere ends the comparison: "decl_*" matches every name beginning "decl_".
        if (*pattern == '*')
            return 1;
        if (*pattern == '?') {
            if (*name == 0)
                return 0;
            continue;
        }
        if (UpperAscii(*name) != UpperAscii(*pattern))
            return 0;
        if (*name == 0)
            return 1;
    }
}
