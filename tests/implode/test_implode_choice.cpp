// test_implode_choice.cpp - the choices Implode makes: the best level never loses to the fast
// one, Auto keeps the smaller literal mode, and each kind of data compresses as it should.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/implode/implode_settings.h"
#include "tests/support/test_data.h"

namespace {

size_t ImplodedSize(const Bytes& data, const ImplodeOptions& options) {
    Bytes stream;
    Implode(data.data(), data.size(), options, &stream);
    return stream.size();
}

TEST(ImplodeChoice, BestIsNeverLargerThanFast) {
    for (DataKind kind : kAllDataKinds)
        for (uint64_t seed : {20, 21}) {
            Bytes data = MakeTestData(kind, 64 * 1024, seed);
            for (LiteralMode literals : {LiteralMode::Raw, LiteralMode::Coded, LiteralMode::Auto})
                for (int bits = 4; bits <= 6; ++bits) {
                    size_t fast = ImplodedSize(data, {ImplodeLevel::Fast, literals, bits});
                    size_t best = ImplodedSize(data, {ImplodeLevel::Best, literals, bits});
                    EXPECT_LE(best, fast) << DataKindName(kind) << " seed " << seed << " "
                                          << Describe({ImplodeLevel::Best, literals, bits});
                }
        }
}

TEST(ImplodeChoice, AutoKeepsTheSmallerLiteralMode) {
    for (DataKind kind : kAllDataKinds) {
        Bytes data = MakeTestData(kind, 64 * 1024, 22);
        for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best}) {
            SCOPED_TRACE(std::string(DataKindName(kind)) +
                         (level == ImplodeLevel::Fast ? " fast" : " best"));
            size_t raw = ImplodedSize(data, {level, LiteralMode::Raw, 6});
            size_t coded = ImplodedSize(data, {level, LiteralMode::Coded, 6});
            Bytes stream;
            ASSERT_TRUE(Implode(data.data(), data.size(), {level, LiteralMode::Auto, 6}, &stream));
            EXPECT_EQ(stream.size(), std::min(raw, coded));
            EXPECT_EQ(stream[0], coded < raw ? 1 : 0);
            if (kind == DataKind::Text) {
                EXPECT_EQ(stream[0], 1) << "text is cheaper with coded literals";
            }
            if (kind == DataKind::Random) {
                EXPECT_EQ(stream[0], 0) << "most bytes cost 12 or 13 bits coded";
            }
        }
    }
}

// Bounds that any sound implode compressor meets: random data grows by at most a flag bit per
// byte, text and runs shrink well, and one repeated byte costs little more than its longest
// matches.
TEST(ImplodeChoice, EachKindCompressesAsExpected) {
    const size_t size = 128 * 1024;
    for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best}) {
        ImplodeOptions options{level, LiteralMode::Auto, 6};
        EXPECT_LE(ImplodedSize(MakeTestData(DataKind::Random, size, 23), options),
                  size * 9 / 8 + 5);
        EXPECT_LT(ImplodedSize(MakeTestData(DataKind::Text, size, 23), options), size * 2 / 5);
        EXPECT_LT(ImplodedSize(MakeTestData(DataKind::Runs, size, 23), options), size / 5);
        // One byte, then matches of 518 at distance 1: 24 bits each.
        EXPECT_LE(ImplodedSize(Bytes(size, 'x'), options), 2 + (9 + size / 518 * 24 + 40) / 8);
    }
}

} // namespace
