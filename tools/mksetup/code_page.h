// code_page.h - host names (UTF-8) as the bytes of a Windows code page, and back.
#pragma once

#include <iconv.h>

#include <string>

// A Windows code page as the C library's iconv knows it ("CP" and the number). Entry names
// are written in it; the setup program reads them as bytes of the system code page.
class CodePage {
  public:
    static constexpr unsigned kDefault = 1252; // Western European

    CodePage() = default;
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // False if iconv has no such code page.
    bool Open(unsigned number);
    unsigned number() const { return number_; }

    // The bytes of utf8 in the code page; false if utf8 is not UTF-8 or holds a character the
    // code page has no byte for. Nothing is replaced or approximated.
    bool FromUtf8(const std::string& utf8, std::string* bytes) const;
    // bytes of the code page as UTF-8; a byte that does not convert is shown as \xNN.
    std::string ToUtf8(const std::string& bytes) const;
    // For each byte value, whether it begins a double-byte character.
    const bool* leadBytes() const { return leadBytes_; }

  private:
    unsigned number_ = 0;
    iconv_t toCodePage_ = reinterpret_cast<iconv_t>(-1);
    iconv_t toUtf8_ = reinterpret_cast<iconv_t>(-1);
    bool leadBytes_[256] = {};
};

// The names of host files compared as Windows compares them: without regard to case.
std::string FoldCase(const std::string& utf8);
