// lxconv32.cpp - the conversion library lxconv32.dll: its version and plain text to HTML.
#define LXCONV_API
#include "decl_lxconv.h"

namespace {

// The replacement of one input character, or nullptr when it is copied as it is.
const char* EntityFor(char c) {
    switch (c) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    case '"':
        return "&quot;";
    default:
        return nullptr;
    }
}

} // namespace

extern "C" long WINAPI LxConvertVersion(void) {
    return LXCONV_VERSION;
}

extern "C" long WINAPI LxConvertText(const char* text, char* html, long htmlSize) {
    if (text == nullptr || html == nullptr || htmlSize <= 0)
        return -1;
    // Invariant: length < htmlSize, so html[length] is always inside the buffer.
    long length = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const char* piece = EntityFor(*p);
        char single[2] = {*p, '\0'};
        if (*p == '\r' || *p == '\n') {
            piece = "<br>\r\n";
            if (*p == '\r' && p[1] == '\n')
                ++p; // CR LF is one line break
        } else if (piece == nullptr) {
            piece = single;
        }
        for (; *piece != '\0'; ++piece) {
            if (length + 1 >= htmlSize) {
                html[0] = '\0';
                return -1;
            }
            html[length++] = *piece;
        }
    }
    html[length] = '\0';
    return length;
}
