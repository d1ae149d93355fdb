// explode_run.cpp - the recording callbacks and the model of the calls a stream must cause.
#include "tests/explode/explode_run.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>

std::ostream& operator<<(std::ostream& out, const Call& call) {
    if (call.kind == Call::Read)
        return out << "read(" << call.size << ")=" << call.count;
    return out << "write(" << call.size << ")";
}

ExplodeRun::ExplodeRun(Bytes input, std::vector<size_t> pieces)
    : input_(std::move(input)), pieces_(std::move(pieces)) {}

int ExplodeRun::Run() {
    if (workArea != nullptr)
        return Explode(ReadInput, WriteOutput, workArea, this);
    // Garbage everywhere: the decoder must set whatever it reads.
    auto work = std::make_unique<ExplodeWorkArea>();
    std::memset(work.get(), 0xA5, sizeof *work);
    return Explode(ReadInput, WriteOutput, work.get(), this);
}

uint32_t ExplodeRun::ReadInput(char* buffer, uint32_t* size, void* param) {
    auto* run = static_cast<ExplodeRun*>(param);
    if (run->ended_)
        run->readAfterEnd = true;
    size_t piece = run->pieces_[run->reads_++ % run->pieces_.size()];
    size_t count = std::min({piece, static_cast<size_t>(*size), run->input_.size() - run->offset_});
    if (count != 0)
        std::memcpy(buffer, run->input_.data() + run->offset_, count);
    run->offset_ += count;
    run->ended_ = count == 0;
    run->calls.push_back({Call::Read, *size, static_cast<uint32_t>(count)});
    return run->claimedCount != 0 ? run->claimedCount : static_cast<uint32_t>(count);
}

void ExplodeRun::WriteOutput(char* buffer, uint32_t* size, void* param) {
    auto* run = static_cast<ExplodeRun*>(param);
    run->calls.push_back(WriteCall(*size));
    run->output.insert(run->output.end(), buffer, buffer + *size);
    run->largestWrite = std::max(run->largestWrite, static_cast<size_t>(*size));
}

Expected ExpectedRun(const StreamWriter& writer, size_t inputSize, std::vector<size_t> pieces) {
    Expected expected{{}, 0};
    size_t delivered = 0;
    size_t reads = 0;
    bool ended = false;
    // Reads until the first `bytes` bytes of the stream are in; false when the input ends.
    auto have = [&](size_t bytes) {
        while (delivered < bytes) {
            if (ended)
                return false;
            size_t piece = std::min<size_t>(pieces[reads++ % pieces.size()], 2048);
            size_t count = std::min(piece, inputSize - delivered);
            expected.calls.push_back(ReadCall(static_cast<uint32_t>(count)));
            ended = count == 0;
            delivered += count;
        }
        return true;
    };
    // The header, and the bit stream up to bit `bits` plus 8 look-ahead bits.
    auto haveBits = [&](size_t bits) { return have(3 + (bits + 7) / 8); };

    have(1);
    if (delivered <= 4) {
        expected.result = 3;
        return expected;
    }
    expected.result = -1;
    size_t produced = 0;
    size_t flushed = 0;
    size_t tokenStart = 0;
    for (const StreamWriter::Token& token : writer.tokens()) {
        bool complete = haveBits(token.endBit);
        if (token.end) {
            // Only the last step of the end code, its extra bits, may find no input.
            expected.result = complete || haveBits(tokenStart + 8) ? 0 : 4;
            break;
        }
        if (!complete) {
            expected.result = 4;
            break;
        }
        produced = token.outputEnd;
        // A token adds at most 518 bytes, so it fills at most one block.
        if (produced - flushed >= 4096) {
            expected.calls.push_back(WriteCall(4096));
            flushed += 4096;
        }
        tokenStart = token.endBit;
    }
    if (expected.result == -1) {
        // No end code: the token after the last one needs more than the stream holds.
        have(SIZE_MAX);
        expected.result = 4;
    }
    expected.calls.push_back(WriteCall(static_cast<uint32_t>(produced - flushed)));
    return expected;
}

StreamWriter RandomStream(uint32_t seed, uint8_t literalMode, uint8_t dictionaryBits,
                          size_t outputSize) {
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return static_cast<int>(random() % n); };
    StreamWriter writer(literalMode, dictionaryBits);
    const int maxDistance = 64 << dictionaryBits;
    while (writer.output().size() < outputSize) {
        int size = static_cast<int>(writer.output().size());
        if (size == 0 || below(3) == 0) {
            // Mostly text, sometimes any byte, so that long literal codes occur too.
            writer.Literal(below(4) == 0 ? static_cast<uint8_t>(below(256))
                                         : static_cast<uint8_t>("etaoin shrdlu\n"[below(14)]));
            continue;
        }
        int kind = below(8);
        int length = kind < 5 ? 2 + below(8) : kind < 7 ? 2 + below(64) : 2 + below(517);
        int reach = std::min(size, length == 2 ? 256 : maxDistance);
        int distance = below(4) == 0 ? 1 + below(std::min(reach, 8)) : 1 + below(reach);
        writer.Match(length, distance);
    }
    writer.End();
    return writer;
}
