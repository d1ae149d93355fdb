// test_explode_calls.cpp - when the decoder reads and writes: the end of the input, truncated
// streams, input in small pieces, and the 4096-byte blocks of output.
#include <gtest/gtest.h>

#include <string>

#include "tests/explode/explode_run.h"

namespace {

using Calls = std::vector<Call>;

Calls Writes(const Calls& calls) {
    Calls writes;
    for (const Call& call : calls)
        if (call.kind == Call::Write)
            writes.push_back(call);
    return writes;
}

// Runs the stream (or its first inputSize bytes) and compares everything with the model.
void ExpectLikeModel(const StreamWriter& writer, size_t inputSize, std::vector<size_t> pieces) {
    Bytes stream = writer.Stream();
    stream.resize(inputSize);
    ExplodeRun run(stream, pieces);
    Expected expected = ExpectedRun(writer, inputSize, pieces);
    ASSERT_EQ(run.Run(), expected.result)
        << "input " << inputSize << " of " << writer.Stream().size();
    ASSERT_EQ(run.calls, expected.calls) << "input " << inputSize;
    EXPECT_FALSE(run.readAfterEnd);
    Bytes output = writer.output();
    output.resize(run.output.size());
    ASSERT_EQ(run.output, output);
}

TEST(ExplodeCalls, EndCodeInLastByteReadsZeroOnce) {
    StreamWriter writer(0, 6);
    writer.Literals("abc");
    writer.End();
    ASSERT_EQ(writer.Stream().size(), 8u); // 43 bits of tokens in 6 bytes
    ExplodeRun run(writer.Stream());
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.calls, Calls({ReadCall(8), ReadCall(0), WriteCall(3)}));
    EXPECT_FALSE(run.readAfterEnd);
}

TEST(ExplodeCalls, ByteAfterEndCodeIsNotUsedAndNothingMoreIsRead) {
    StreamWriter writer(0, 6);
    writer.Literals("abc");
    writer.End();
    Bytes stream = writer.Stream();
    stream.push_back(0xFF);
    stream.push_back(0xFF);
    ExplodeRun run(stream, {9, 1});
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.output, Bytes({'a', 'b', 'c'}));
    EXPECT_EQ(run.calls, Calls({ReadCall(9), WriteCall(3)}));
}

TEST(ExplodeCalls, TruncatedStreamKeepsCompleteTokens) {
    StreamWriter writer(0, 6);
    writer.Literals("abc");
    writer.End();
    Bytes stream = writer.Stream();
    stream.pop_back();
    ExplodeRun run(stream);
    EXPECT_EQ(run.Run(), 4);
    // The end code starts at bit 27 and its length code needs the sixth byte of bit stream.
    EXPECT_EQ(run.output, Bytes({'a', 'b', 'c'}));
    EXPECT_EQ(run.calls, Calls({ReadCall(7), ReadCall(0), WriteCall(3)}));
}

TEST(ExplodeCalls, TruncationAtEveryLengthMatchesTheModel) {
    StreamWriter writer = RandomStream(7, 1, 5, 9000);
    for (size_t size = 5; size <= writer.Stream().size(); ++size)
        ExpectLikeModel(writer, size, {2048});
    // Near the end of each piece the decoder switches to its careful reader and back.
    for (size_t size : {5, 6, 100, 999, 1000, 1001, 1002})
        ExpectLikeModel(writer, size, {5, 1, 3, 7});
}

TEST(ExplodeCalls, PiecesOfAnySizeGiveTheSameOutput) {
    for (uint8_t mode : {0, 1}) {
        StreamWriter writer = RandomStream(11 + mode, mode, 6, 20000);
        for (std::vector<size_t> pieces : std::vector<std::vector<size_t>>{
                 {1}, {5, 1}, {5, 2}, {7, 3, 1}, {100, 9}, {2047}, {2048}, {4096}}) {
            SCOPED_TRACE(pieces[0]);
            ExpectLikeModel(writer, writer.Stream().size(), pieces);
        }
    }
}

TEST(ExplodeCalls, RandomStreamsMatchTheModel) {
    for (uint32_t seed = 0; seed < 24; ++seed) {
        uint8_t mode = seed % 2;
        uint8_t bits = 4 + seed % 3;
        StreamWriter writer = RandomStream(seed, mode, bits, 1000 + seed * 2500);
        SCOPED_TRACE(seed);
        ExpectLikeModel(writer, writer.Stream().size(), {2048});
        ExpectLikeModel(writer, writer.Stream().size(), {300 + seed, 17});
    }
}

TEST(ExplodeCalls, StreamWithoutEndCodeIsTruncated) {
    StreamWriter writer(0, 4);
    writer.Literals("no end");
    ExplodeRun run(writer.Stream());
    EXPECT_EQ(run.Run(), 4);
    // The last literal ends in the last byte: the refill behind it already finds no input.
    EXPECT_EQ(run.output, Bytes({'n', 'o', ' ', 'e', 'n'}));
    EXPECT_EQ(run.calls, Calls({ReadCall(9), ReadCall(0), WriteCall(5)}));
    ExpectLikeModel(writer, writer.Stream().size(), {5, 1});
}

TEST(ExplodeCalls, OutputOfWholeBlocksEndsWithEmptyWrite) {
    StreamWriter writer(0, 6);
    writer.Literal('z');
    for (int i = 0; i < 15; ++i)
        writer.Match(518, 1);
    writer.Match(8192 - 1 - 15 * 518, 1);
    writer.End();
    ASSERT_EQ(writer.output().size(), 8192u);
    ExplodeRun run(writer.Stream());
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.output, Bytes(8192, 'z'));
    EXPECT_EQ(Writes(run.calls), Calls({WriteCall(4096), WriteCall(4096), WriteCall(0)}));
}

TEST(ExplodeCalls, LongestMatchJustBelowTheFlushIsCopiedWhole) {
    // 4095 bytes bring the output position to 8191; the match then runs to 8708.
    StreamWriter writer(0, 6);
    for (int i = 0; i < 4095; ++i)
        writer.Literal(static_cast<uint8_t>(i * 7 + i / 256));
    writer.Match(518, 4000);
    writer.Literal('!');
    writer.End();
    ExplodeRun run(writer.Stream());
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.output, writer.output());
    // The flush after the match writes 4096 bytes; the 517 beyond move down with the history.
    EXPECT_EQ(Writes(run.calls), Calls({WriteCall(4096), WriteCall(518)}));
}

TEST(ExplodeCalls, ReadClaimingMoreThanTheBufferIsHeldToTheBuffer) {
    StreamWriter writer = RandomStream(3, 0, 6, 6000);
    ExplodeRun run(writer.Stream());
    run.claimedCount = 5000;
    // Each read delivers 2048 bytes but claims 5000; only the 2048 are decoded.
    int result = run.Run();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(run.output, writer.output());
    EXPECT_LE(run.largestWrite, 4096u);
}

} // namespace
