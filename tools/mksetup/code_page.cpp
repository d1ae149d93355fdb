// code_page.cpp - converting names between UTF-8 and a Windows code page with iconv.
#include "tools/mksetup/code_page.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace {

const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);

// Converts all of in; false on a byte sequence that does not convert. incomplete tells
// whether the input ended inside a character.
bool Convert(iconv_t cd, const std::string& in, std::string* out, bool* incomplete) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
    out->clear();
    *incomplete = false;
    char* from = const_cast<char*>(in.data());
    size_t fromLeft = in.size();
    char block[256];
    while (fromLeft > 0) {
        char* to = block;
        size_t toLeft = sizeof block;
        size_t result = iconv(cd, &from, &fromLeft, &to, &toLeft);
        out->append(block, static_cast<size_t>(to - block));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            *incomplete = errno == EINVAL;
            return false;
        }
    }
    char* to = block;
    size_t toLeft = sizeof block;
    bool flushed = iconv(cd, nullptr, nullptr, &to, &toLeft) != static_cast<size_t>(-1);
    out->append(block, static_cast<size_t>(to - block));
    return flushed;
}

} // namespace

CodePage::~CodePage() {
    if (toCodePage_ != kClosed)
        iconv_close(toCodePage_);
    if (toUtf8_ != kClosed)
        iconv_close(toUtf8_);
}

bool CodePage::Open(unsigned number) {
    std::string name = "CP" + std::to_string(number);
    toCodePage_ = iconv_open(name.c_str(), "UTF-8");
    toUtf8_ = iconv_open("UTF-8", name.c_str());
    if (toCodePage_ == kClosed || toUtf8_ == kClosed)
        return false;
    number_ = number;
    // A byte that, alone, ends inside a character begins a double-byte one: iconv's own
    // tables decide, so every code page it knows needs nothing of ours.
    for (int byte = 0x80; byte < 256; ++byte) {
        std::string out;
        bool incomplete;
        Convert(toUtf8_, std::string(1, static_cast<char>(byte)), &out, &incomplete);
        leadBytes_[byte] = incomplete;
    }
    return true;
}

bool CodePage::FromUtf8(const std::string& utf8, std::string* bytes) const {
    bool incomplete;
    return Convert(toCodePage_, utf8, bytes, &incomplete);
}

std::string CodePage::ToUtf8(const std::string& bytes) const {
    std::string utf8;
    bool incomplete;
    if (Convert(toUtf8_, bytes, &utf8, &incomplete))
        return utf8;
    std::string shown;
    for (unsigned char c : bytes) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", c);
        shown += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string(escape);
    }
    return shown;
}

std::string FoldCase(const std::string& utf8) {
    // The C locale knows only ASCII letters; the UTF-8 one knows "Ä" from "ä" too.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    locale_t previous = unicode != locale_t{} ? uselocale(unicode) : locale_t{};
    std::string folded;
    std::mbstate_t state{};
    const char* p = utf8.data();
    size_t left = utf8.size();
    while (left > 0) {
        wchar_t c;
        size_t n = std::mbrtowc(&c, p, left, &state);
        if (n == 0 || n > left) { // a NUL, or bytes that are not UTF-8: kept as they are
            folded += *p;
            n = 1;
            state = std::mbstate_t{};
        } else {
            char out[MB_LEN_MAX];
            std::mbstate_t outState{};
            size_t m = std::wcrtomb(out, static_cast<wchar_t>(std::towupper(c)), &outState);
            if (m == static_cast<size_t>(-1))
                folded.append(p, n);
            else
                folded.append(out, m);
        }
        p += n;
        left -= n;
    }
    if (previous != locale_t{})
        uselocale(previous);
    return folded;
}
