// fmtprobe.cpp - the format probe of fmtprobe.lib: names a document's format from its first bytes.
#include "decl_lxconv.h"

namespace {

// Whether the bytes begin with the given text, ignoring the case of ASCII letters.
bool StartsWith(const unsigned char* bytes, long size, const char* text) {
    long i = 0;
    for (; text[i] != '\0'; ++i) {
        if (i >= size)
            return false;
        unsigned char a = bytes[i];
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (a >= 'A' && a <= 'Z')
            a = static_cast<unsigned char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<unsigned char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

// Text is taken to be bytes without control characters other than tab, CR, LF and form feed.
bool LooksLikeText(const unsigned char* bytes, long size) {
    for (long i = 0; i < size; ++i) {
        unsigned char c = bytes[i];
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f')
            return false;
    }
    return true;
}

} // namespace

extern "C" long WINAPI FmtProbe(const unsigned char* bytes, long size) {
    if (bytes == nullptr || size <= 0)
        return FMT_UNKNOWN;
    if (StartsWith(bytes, size, "{\\rtf"))
        return FMT_RTF;
    // A bitmap file header: "BM", the file size, then four reserved bytes that are zero.
    if (size >= 14 && StartsWith(bytes, size, "BM") && bytes[6] == 0 && bytes[7] == 0 &&
        bytes[8] == 0 && bytes[9] == 0)
        return FMT_BMP;
    // Leading blanks are common before the first tag of a hand-written page.
    long start = 0;
    while (start < size && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' ||
                            bytes[start] == '\n'))
        ++start;
    if (StartsWith(bytes + start, size - start, "<!doctype html") ||
        StartsWith(bytes + start, size - start, "<html"))
        return FMT_HTML;
    return LooksLikeText(bytes, size) ? FMT_TEXT : FMT_UNKNOWN;
}
