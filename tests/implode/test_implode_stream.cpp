// test_implode_stream.cpp - the shape of the streams Implode writes: header, end code, how far
// matches reach, the longest match, reproducible output and the refused cases.
#include <gtest/gtest.h>

#include "payload/explode.h"
#include "payload/explode_in_memory.h"
#include "tests/implode/implode_settings.h"
#include "tests/implode/token_scan.h"
#include "tests/support/test_data.h"

namespace {

TEST(ImplodeStream, HeaderNamesLiteralModeAndDictionaryBits) {
    Bytes data = MakeTestData(DataKind::Binary, 1000, 10);
    for (const ImplodeOptions& options : AllSettings()) {
        if (options.literals == LiteralMode::Auto)
            continue;
        SCOPED_TRACE(Describe(options));
        Bytes stream;
        ASSERT_TRUE(Implode(data.data(), data.size(), options, &stream));
        EXPECT_EQ(stream[0], options.literals == LiteralMode::Coded ? 1 : 0);
        EXPECT_EQ(stream[1], options.dictionaryBits);
    }
}

// The empty input is the header and the end code alone: flag 1, length code 15 (seven zero
// bits), extra value 255. Explode refuses a first read that short, so Implode reports it.
TEST(ImplodeStream, EmptyInputIsReportedAsTooShortToExplode) {
    for (const ImplodeOptions& options : AllSettings()) {
        SCOPED_TRACE(Describe(options));
        Bytes stream;
        EXPECT_FALSE(Implode(nullptr, 0, options, &stream));
        int mode = options.literals == LiteralMode::Coded ? 1 : 0;
        EXPECT_EQ(stream, (Bytes{static_cast<unsigned char>(mode),
                                 static_cast<unsigned char>(options.dictionaryBits), 0x01, 0xFF}));
        Bytes output;
        ExplodeWorkArea work;
        EXPECT_EQ(ExplodeAppending(stream.data(), stream.size(), &work, &output).result,
                  kExplodeTooShort);
    }
    // One byte is enough for a stream that explodes: 5 bytes for a coded space, 6 for raw.
    const unsigned char space = ' ';
    Bytes stream;
    EXPECT_TRUE(Implode(&space, 1, {ImplodeLevel::Best, LiteralMode::Coded, 6}, &stream));
    EXPECT_EQ(stream.size(), 5u);
    EXPECT_TRUE(Implode(&space, 1, {ImplodeLevel::Best, LiteralMode::Raw, 6}, &stream));
    EXPECT_EQ(stream.size(), 6u);
}

TEST(ImplodeStream, RefusesDictionaryBitsOutsideFourToSix) {
    Bytes data = MakeTestData(DataKind::Text, 100, 11);
    for (int bits : {0, 3, 7, 8, -1})
        for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best}) {
            Bytes stream{1, 2, 3};
            EXPECT_FALSE(
                Implode(data.data(), data.size(), {level, LiteralMode::Raw, bits}, &stream))
                << bits;
            EXPECT_TRUE(stream.empty());
        }
}

// Random bytes in which byte pairs recur at distances from 200 to 320, with nothing longer in
// common: only length-2 matches pay, and the format lets them reach 256 bytes back at most.
TEST(ImplodeStream, LengthTwoMatchesReachAtMost256Back) {
    Bytes data = MakeTestData(DataKind::Random, 64 * 1024, 12);
    TestRandom random(12);
    for (size_t at = 400; at + 2 < data.size(); at += 3 + random.Below(6)) {
        size_t from = at - 200 - random.Below(121);
        data[at] = data[from];
        data[at + 1] = data[from + 1];
    }
    for (const ImplodeOptions& options : AllSettings()) {
        SCOPED_TRACE(Describe(options));
        Bytes stream = ExpectRoundTrip(data, options);
        StreamScan scan = ScanStream(stream);
        EXPECT_GT(scan.length2Matches, 1000u);
        EXPECT_LE(scan.farthestLength2, 256u);
    }
}

// A random block repeated at exactly the reach of the dictionary is found there; repeated
// one byte further it is out of reach and must not be used.
TEST(ImplodeStream, MatchesReachExactlyTheDictionarySize) {
    for (int bits = 4; bits <= 6; ++bits)
        for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best}) {
            ImplodeOptions options{level, LiteralMode::Raw, bits};
            SCOPED_TRACE(Describe(options));
            size_t reach = size_t{64} << bits;
            for (size_t gap : {reach, reach + 1}) {
                Bytes data = MakeTestData(DataKind::Random, gap, 13);
                data.insert(data.end(), data.begin(), data.begin() + 300);
                StreamScan scan = ScanStream(ExpectRoundTrip(data, options));
                if (gap == reach) {
                    EXPECT_EQ(scan.farthestMatch, reach);
                    EXPECT_EQ(scan.longestLength, 300u);
                } else {
                    EXPECT_LT(scan.longestLength, 10u);
                }
            }
        }
}

TEST(ImplodeStream, LongRunsUseTheLongestMatch) {
    Bytes zeros(5000, 0);
    for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best}) {
        StreamScan scan = ScanStream(ExpectRoundTrip(zeros, {level, LiteralMode::Raw, 6}));
        EXPECT_EQ(scan.longestLength, 518u);
        EXPECT_EQ(scan.farthestMatch, 1u);
        EXPECT_EQ(scan.literals, 1u);
    }
}

// The same input and options give the same bytes, whatever was compressed in between.
TEST(ImplodeStream, OutputIsReproducible) {
    Bytes data = MakeTestData(DataKind::Mixed, 200 * 1024, 14);
    Bytes other = MakeTestData(DataKind::Binary, 100 * 1024, 15);
    for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best}) {
        ImplodeOptions options{level, LiteralMode::Auto, 6};
        Bytes first, between, second;
        ASSERT_TRUE(Implode(data.data(), data.size(), options, &first));
        ASSERT_TRUE(Implode(other.data(), other.size(), options, &between));
        ASSERT_TRUE(Implode(data.data(), data.size(), options, &second));
        EXPECT_TRUE(first == second) << Describe(options);
    }
}

} // namespace
