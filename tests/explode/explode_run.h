// explode_run.h - runs Explode over a byte string and records every callback call in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include "payload/explode.h"
#include "tests/explode/bit_writer.h"

struct Call {
    enum Kind { Read, Write } kind;
    uint32_t size;  // the size word when the callback was called
    uint32_t count; // bytes a read delivered; 0 for a write

    bool operator==(const Call& other) const {
        return kind == other.kind && size == other.size && count == other.count;
    }
};
std::ostream& operator<<(std::ostream& out, const Call& call);

inline Call ReadCall(uint32_t count) {
    return {Call::Read, 2048, count};
}
inline Call WriteCall(uint32_t size) {
    return {Call::Write, size, 0};
}

class ExplodeRun {
  public:
    // Reads deliver the input in pieces of the given sizes, taken in turn and repeated.
    explicit ExplodeRun(Bytes input, std::vector<size_t> pieces = {2048});

    int Run();

    std::vector<Call> calls;
    Bytes output;
    bool readAfterEnd = false; // a read came after one had returned 0
    size_t largestWrite = 0;
    // When set, every read claims this count whatever it delivered.
    uint32_t claimedCount = 0;
    // When set, the work area to use as it is; otherwise a fresh one full of garbage.
    ExplodeWorkArea* workArea = nullptr;

  private:
    static uint32_t ReadInput(char* buffer, uint32_t* size, void* param);
    static void WriteOutput(char* buffer, uint32_t* size, void* param);

    Bytes input_;
    std::vector<size_t> pieces_;
    size_t offset_ = 0;
    size_t reads_ = 0;
    bool ended_ = false;
};

// What a correct decoder does with the first inputSize bytes of the writer's stream when reads
// deliver pieces of the given sizes: the callback calls in order, and the result. It follows
// from the reader's 8 look-ahead bits: after consuming E bits of the bit stream, the decoder
// holds the header and 1 + ceil(E / 8) bytes of it, and reads only when it needs more.
struct Expected {
    std::vector<Call> calls;
    int result;
};
Expected ExpectedRun(const StreamWriter& writer, size_t inputSize,
                     std::vector<size_t> pieces = {2048});

// A stream of random literals and matches that decodes to about outputSize bytes, then the end
// code. Matches of every length class and distances up to the largest the header allows.
StreamWriter RandomStream(uint32_t seed, uint8_t literalMode, uint8_t dictionaryBits,
                          size_t outputSize);
