// aplx.cpp - aplx.dll, helpers for Pelorin programs: its version and the identifier rule.
#include "decl_gauge.h"

namespace {

const int kMaxIdentifier = 31;

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

extern "C" long WINAPI AplxVersion(void) {
    return APLX_VERSION;
}

extern "C" long WINAPI AplxIsIdentifier(const char* text) {
    if (text == nullptr || !IsLetter(text[0]))
        return 0;
    int length = 1;
    for (const char* p = text + 1; *p != '\0'; ++p, ++length) {
        if (length >= kMaxIdentifier || !(IsLetter(*p) || IsDigit(*p)))
            return 0;
    }
    return 1;
}
