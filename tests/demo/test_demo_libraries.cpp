// test_demo_libraries.cpp - the developer modules work as decl_lxconv.h and decl_gauge.h say,
// called the way a developer calls them: through the shipped import libraries and fmtprobe.lib.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "decl_gauge.h"
#include "decl_lxconv.h"

namespace {

std::string Convert(const char* text, long size = 256) {
    std::string html(static_cast<size_t>(size), '#');
    long length = LxConvertText(text, &html[0], size);
    if (length < 0)
        return "<-1:" + std::string(html.c_str()) + ">";
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(html.c_str()));
    return html.substr(0, static_cast<size_t>(length));
}

long Probe(const char* bytes) {
    return FmtProbe(reinterpret_cast<const unsigned char*>(bytes),
                    static_cast<long>(std::strlen(bytes)));
}

} // namespace

TEST(LxConv, ReportsTheHeadersVersion) {
    EXPECT_EQ(LxConvertVersion(), LXCONV_VERSION);
}

TEST(LxConv, EscapesMarkupAndTurnsEveryLineBreakIntoBr) {
    EXPECT_EQ(Convert("plain"), "plain");
    EXPECT_EQ(Convert("<a href=\"x\">&</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
    EXPECT_EQ(Convert("one\r\ntwo\rthree\nfour"), "one<br>\r\ntwo<br>\r\nthree<br>\r\nfour");
    EXPECT_EQ(Convert("\n\r\n"), "<br>\r\n<br>\r\n");
    EXPECT_EQ(Convert(""), "");
}

TEST(LxConv, NeverWritesBeyondTheBuffer) {
    // "&lt;" needs 4 bytes and the terminator 1: 5 fit exactly, 4 do not.
    EXPECT_EQ(Convert("<", 5), "&lt;");
    EXPECT_EQ(Convert("<", 4), "<-1:>");
    EXPECT_EQ(Convert("x", 1), "<-1:>");
    char guard[8];
    std::memset(guard, '#', sizeof guard);
    EXPECT_EQ(LxConvertText("abcdefgh", guard, 4), -1);
    EXPECT_EQ(guard[0], '\0');
    EXPECT_EQ(guard[4], '#');
    EXPECT_EQ(LxConvertText(nullptr, guard, 4), -1);
    EXPECT_EQ(LxConvertText("a", nullptr, 4), -1);
    EXPECT_EQ(LxConvertText("a", guard, 0), -1);
}

TEST(Gauge, GivesWholePercentagesHeldToTheRange) {
    EXPECT_EQ(GaugeVersion(), GAUGE_VERSION);
    EXPECT_EQ(GaugePercent(0, 10), 0);
    EXPECT_EQ(GaugePercent(1, 3), 33);
    EXPECT_EQ(GaugePercent(10, 10), 100);
    EXPECT_EQ(GaugePercent(11, 10), 100);
    EXPECT_EQ(GaugePercent(-1, 10), 0);
    EXPECT_EQ(GaugePercent(3, 0), 100);
    EXPECT_EQ(GaugePercent(3, -5), 100);
    // done * 100 does not fit in 32 bits here; the answer must still be right.
    EXPECT_EQ(GaugePercent(2000000000, 2100000000), 95);
}

TEST(FmtProbe, NamesFormatsByTheirFirstBytes) {
    EXPECT_EQ(Probe("{\\rtf1\\ansi text}"), FMT_RTF);
    EXPECT_EQ(Probe("{\\RTF1}"), FMT_RTF);
    EXPECT_EQ(Probe("<!DOCTYPE html><html>"), FMT_HTML);
    EXPECT_EQ(Probe("\r\n  <HTML>"), FMT_HTML);
    EXPECT_EQ(Probe("Dear reader,\r\n\tthanks.\f"), FMT_TEXT);
    EXPECT_EQ(Probe("BMW and Audi, 2 cars"), FMT_TEXT);
    const unsigned char bitmap[14] = {'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    EXPECT_EQ(FmtProbe(bitmap, sizeof bitmap), FMT_BMP);
    EXPECT_EQ(FmtProbe(bitmap, 13), FMT_UNKNOWN);
    const unsigned char binary[] = {'M', 'Z', 0x90, 0x00};
    EXPECT_EQ(FmtProbe(binary, sizeof binary), FMT_UNKNOWN);
    EXPECT_EQ(FmtProbe(nullptr, 5), FMT_UNKNOWN);
    EXPECT_EQ(Probe(""), FMT_UNKNOWN);
    // A probe never reads past the size it is given, even inside a known prefix.
    EXPECT_EQ(FmtProbe(reinterpret_cast<const unsigned char*>("{\\rt"), 4), FMT_TEXT);
}

TEST(Aplx, LoadsAtRunTimeAndJudgesIdentifiers) {
    HMODULE aplx = LoadLibraryA("aplx.dll");
    ASSERT_NE(aplx, nullptr);
    auto version = reinterpret_cast<AplxVersionProc>(
        reinterpret_cast<void*>(GetProcAddress(aplx, "AplxVersion")));
    auto isIdentifier = reinterpret_cast<AplxIsIdentifierProc>(
        reinterpret_cast<void*>(GetProcAddress(aplx, "AplxIsIdentifier")));
    ASSERT_NE(version, nullptr);
    ASSERT_NE(isIdentifier, nullptr);
    EXPECT_EQ(version(), APLX_VERSION);
    EXPECT_EQ(isIdentifier("_page2"), 1);
    EXPECT_EQ(isIdentifier("x"), 1);
    EXPECT_EQ(isIdentifier(std::string(31, 'a').c_str()), 1);
    EXPECT_EQ(isIdentifier(std::string(32, 'a').c_str()), 0);
    EXPECT_EQ(isIdentifier("2pages"), 0);
    EXPECT_EQ(isIdentifier("page-count"), 0);
    EXPECT_EQ(isIdentifier(""), 0);
    EXPECT_EQ(isIdentifier(nullptr), 0);
    FreeLibrary(aplx);
}
