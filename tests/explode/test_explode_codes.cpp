// test_explode_codes.cpp - the three codes, the extra and low bits, and the match copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include "tests/explode/explode_run.h"

namespace {

std::string Text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Decodes the stream in one piece and checks the result and that nothing else went wrong.
Bytes Decode(const Bytes& stream, int expectedResult = 0) {
    ExplodeRun run(stream);
    EXPECT_EQ(run.Run(), expectedResult);
    EXPECT_FALSE(run.readAfterEnd);
    return run.output;
}

// The end code as sent: flag, length code 15, eight extra ones.
void SendEnd(BitWriter& writer) {
    writer.Sent("1 0000000 11111111");
}

TEST(ExplodeCodes, CodedLiteralsAsSent) {
    // Written by hand, not by the code tables, one literal of each band: one lookup (space,
    // 'a', line feed), the table after 4 (0x00), the table after 6 (0x80) and the table after
    // 8 (0xFF).
    BitWriter bits;
    bits.Sent("0 1111");
    bits.Sent("0 11100");
    bits.Sent("0 0100011");
    bits.Sent("0 00001001001");
    bits.Sent("0 0000001001000");
    bits.Sent("0 0000000000000");
    SendEnd(bits);
    EXPECT_EQ(Decode(WithHeader(1, 6, bits)), Bytes({0x20, 0x61, 0x0A, 0x00, 0x80, 0xFF}));
}

TEST(ExplodeCodes, LiteralCodesSplitOverTheFourTablesAsTheFormatSays) {
    // 69 codes of 8 bits or fewer are looked up at once; of the longer ones, 86 go to the
    // table after 4 bits, 69 to the one after 6 and 32 to the one after 8. A length miscounted
    // in the table moves codes between the bands, which a round trip through the same table
    // would not notice.
    int bands[4] = {};
    for (int c = 0; c < codes::kLiteralSymbols; ++c) {
        uint32_t value = codes::kLiteralCodes[c];
        if (codes::kLiteralBits[c] <= 8)
            ++bands[0];
        else if ((value & 0xFF) == 0)
            ++bands[3];
        else
            ++bands[(value & 0x3F) != 0 ? 1 : 2];
    }
    EXPECT_EQ(bands[0], 69);
    EXPECT_EQ(bands[1], 86);
    EXPECT_EQ(bands[2], 69);
    EXPECT_EQ(bands[3], 32);
}

TEST(ExplodeCodes, CodedLiteralsOfEveryPath) {
    // 0x80 goes through the table after 6; the others as above.
    StreamWriter writer(1, 4);
    for (uint8_t c : {0x20, 0x00, 0x80, 0xFF, 0x80, 0x00, 0x20})
        writer.Literal(c);
    writer.End();
    EXPECT_EQ(Decode(writer.Stream()), writer.output());
}

TEST(ExplodeCodes, EveryLiteralInBothModes) {
    std::vector<uint8_t> order(256);
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::vector<uint8_t>> orders{order, {order.rbegin(), order.rend()}};
    std::shuffle(order.begin(), order.end(), std::mt19937(5));
    orders.push_back(order);
    for (uint8_t mode : {0, 1}) {
        StreamWriter writer(mode, 6);
        for (const auto& literals : orders)
            for (uint8_t c : literals)
                writer.Literal(c);
        writer.End();
        Bytes output = Decode(writer.Stream());
        ASSERT_EQ(output.size(), 768u);
        EXPECT_EQ(output, writer.output()) << "mode " << int(mode);
    }
}

TEST(ExplodeCodes, EveryLengthWithChangingDistances) {
    for (uint8_t bits : {4, 5, 6}) {
        StreamWriter writer(bits == 5 ? 1 : 0, bits);
        std::mt19937 random(bits);
        for (int i = 0; i < 300; ++i)
            writer.Literal(static_cast<uint8_t>(random()));
        int maxDistance = 64 << bits;
        for (int length = 2; length <= 518; ++length) {
            int reach = std::min<int>(writer.output().size(), length == 2 ? 256 : maxDistance);
            writer.Match(length, 1 + static_cast<int>(random() % reach));
            writer.Literal(static_cast<uint8_t>(length));
        }
        writer.End();
        EXPECT_EQ(Decode(writer.Stream()), writer.output()) << "dictionary bits " << int(bits);
    }
}

TEST(ExplodeCodes, LengthTwoTakesTwoLowDistanceBits) {
    // Length 2 (code 101), distance 5: distance code 1 (1011) and low bits 00.
    BitWriter two;
    for (char c : std::string("ABCDE")) {
        two.Bits(0, 1);
        two.Bits(static_cast<uint8_t>(c), 8);
    }
    BitWriter three = two;
    two.Sent("1 101 1011");
    two.Bits(0, 2);
    SendEnd(two);
    EXPECT_EQ(Text(Decode(WithHeader(0, 6, two))), "ABCDEAB");
    // Length 3 (code 11), distance 5: distance code 0 (11) and k = 6 low bits of value 4.
    three.Sent("1 11 11");
    three.Bits(4, 6);
    SendEnd(three);
    EXPECT_EQ(Text(Decode(WithHeader(0, 6, three))), "ABCDEABC");
}

TEST(ExplodeCodes, ExtraBitsOfLongLengths) {
    // Length code 15 with extra 254 is the longest match, 518; code 14 with 127 is 263.
    BitWriter bits;
    bits.Sent("0");
    bits.Bits('q', 8);
    bits.Sent("1 0000000");
    bits.Bits(254, 8);
    bits.Sent("11");
    bits.Bits(0, 4);
    bits.Sent("1 0000001");
    bits.Bits(127, 7);
    bits.Sent("11");
    bits.Bits(0, 4);
    SendEnd(bits);
    EXPECT_EQ(Decode(WithHeader(0, 4, bits)), Bytes(1 + 518 + 263, 'q'));
}

TEST(ExplodeCodes, LargestDistanceOfEachDictionarySize) {
    for (uint8_t bits : {4, 5, 6}) {
        int reach = 64 << bits; // 1024, 2048, 4096
        StreamWriter writer(0, bits);
        std::mt19937 random(reach);
        for (int i = 0; i < reach + 10; ++i)
            writer.Literal(static_cast<uint8_t>(random()));
        writer.Match(10, reach);
        writer.Match(3, reach - 1);
        writer.Match(2, 256);
        writer.End();
        Bytes output = Decode(writer.Stream());
        ASSERT_EQ(output, writer.output()) << "dictionary bits " << int(bits);
        ASSERT_EQ(output.size(), static_cast<size_t>(reach + 25));
        EXPECT_TRUE(std::equal(output.end() - 15, output.end() - 5, output.begin() + 10));
    }
}

TEST(ExplodeCodes, ShortDistanceRepeatsAPattern) {
    StreamWriter writer(0, 6);
    writer.Literal('x');
    writer.Match(10, 1);
    writer.Literals("abc");
    writer.Match(20, 3);
    writer.Literals("0123456789");
    writer.Match(30, 9);
    writer.End();
    EXPECT_EQ(Text(Decode(writer.Stream())), "xxxxxxxxxxx"
                                             "abcabcabcabcabcabcabcab"
                                             "0123456789"
                                             "123456789123456789123456789123");
}

TEST(ExplodeCodes, DistanceBeforeTheFirstByteFindsZeros) {
    // A damaged stream may reach into the history that no output has filled yet; it finds
    // zeros there, not what an earlier call with the same work area left behind.
    StreamWriter writer(0, 6);
    writer.Literal('a');
    writer.Match(6, 4000);
    writer.End();
    EXPECT_EQ(Decode(writer.Stream()), Bytes({'a', 0, 0, 0, 0, 0, 0}));

    auto work = std::make_unique<ExplodeWorkArea>();
    ExplodeRun earlier(RandomStream(1, 0, 6, 12000).Stream());
    earlier.workArea = work.get();
    ASSERT_EQ(earlier.Run(), 0);
    ExplodeRun later(writer.Stream());
    later.workArea = work.get();
    EXPECT_EQ(later.Run(), 0);
    EXPECT_EQ(later.output, Bytes({'a', 0, 0, 0, 0, 0, 0}));
}

} // namespace
