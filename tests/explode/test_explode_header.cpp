// test_explode_header.cpp - the first read, the header checks and the shortest streams.
#include <gtest/gtest.h>

#include <string>

#include "tests/explode/explode_run.h"

namespace {

using Calls = std::vector<Call>;

TEST(ExplodeHeader, EmptyOrShortFirstReadIsTooShortWithoutWrite) {
    ExplodeRun empty({});
    EXPECT_EQ(empty.Run(), 3);
    EXPECT_EQ(empty.calls, Calls({ReadCall(0)}));

    // The header and the end code alone are well formed, but the first read must bring more.
    StreamWriter endOnly(0, 6);
    endOnly.End();
    ASSERT_EQ(endOnly.Stream().size(), 4u);
    ExplodeRun four(endOnly.Stream());
    EXPECT_EQ(four.Run(), 3);
    EXPECT_EQ(four.calls, Calls({ReadCall(4)}));
}

TEST(ExplodeHeader, LongStreamWhoseFirstPieceIsFourBytesIsRejected) {
    StreamWriter writer(0, 6);
    writer.Literals("a long enough stream");
    writer.End();
    ExplodeRun run(writer.Stream(), {4});
    EXPECT_EQ(run.Run(), 3);
    EXPECT_EQ(run.calls, Calls({ReadCall(4)}));
}

TEST(ExplodeHeader, BadDictionaryBitsWinOverBadLiteralMode) {
    for (uint8_t mode : {0, 1, 2, 9, 255}) {
        for (uint8_t bits : {0, 3, 7, 8, 255}) {
            ExplodeRun run({mode, bits, 0xFF, 0xFF, 0xFF, 0xFF});
            EXPECT_EQ(run.Run(), 1) << int(mode) << " " << int(bits);
            EXPECT_EQ(run.calls, Calls({ReadCall(6)}));
        }
    }
}

TEST(ExplodeHeader, BadLiteralModeWithGoodDictionaryBits) {
    for (uint8_t bits : {4, 5, 6}) {
        ExplodeRun run({2, bits, 0xFF, 0xFF, 0xFF, 0xFF});
        EXPECT_EQ(run.Run(), 2);
        EXPECT_EQ(run.calls, Calls({ReadCall(6)}));
    }
}

TEST(ExplodeHeader, ShortestStreamsThatDecode) {
    // A coded space (1111) and the end code fit 3 bytes of bit stream.
    StreamWriter space(1, 6);
    space.Literal(' ');
    space.End();
    ASSERT_EQ(space.Stream().size(), 5u);
    ExplodeRun run(space.Stream());
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.output, Bytes{' '});
    EXPECT_EQ(run.calls, Calls({ReadCall(5), ReadCall(0), WriteCall(1)}));

    // The end code alone with one spare byte: empty output, and no second read.
    StreamWriter endOnly(0, 4);
    endOnly.End();
    Bytes stream = endOnly.Stream();
    stream.push_back(0x5A);
    ExplodeRun spare(stream);
    EXPECT_EQ(spare.Run(), 0);
    EXPECT_EQ(spare.calls, Calls({ReadCall(5), WriteCall(0)}));
}

TEST(ExplodeHeader, PublishedExampleDecodes) {
    ExplodeRun run({0x00, 0x04, 0x82, 0x24, 0x25, 0x8f, 0x80, 0x7f});
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(std::string(run.output.begin(), run.output.end()), "AIAIAIAIAIAIA");
    // Its end code finishes in its last byte, so the refill behind it finds no input.
    EXPECT_EQ(run.calls, Calls({ReadCall(8), ReadCall(0), WriteCall(13)}));
}

} // namespace
