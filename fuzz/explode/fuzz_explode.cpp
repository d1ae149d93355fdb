// fuzz_explode.cpp - Explode on arbitrary input, delivered in pieces of varying size.
//
// The first input byte chooses how the read callback cuts the rest into pieces. Checked on
// every input: no crash, a result of 0 to 4, no read after a read returned 0, the size word
// 2048 on every read, output only in blocks of 4096 and one shorter final block (none for
// results 1 to 3), and the same result and output as with whole 2048-byte pieces.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "payload/explode.h"

namespace {

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_explode: %s\n", what);
        std::abort();
    }
}

struct Feed {
    const uint8_t* data;
    size_t size;
    uint8_t cut; // how the input is cut into pieces
    size_t offset = 0;
    size_t reads = 0;
    bool ended = false;
    size_t writes = 0;
    bool lastWriteShort = false; // a write of less than 4096 bytes came already
    uint64_t outputHash = 14695981039346656037u;
    uint64_t outputSize = 0;
};

// The size of the next piece. The first piece always holds at least 5 bytes, so that a
// stream is refused as too short only when it is; later pieces may be a single byte.
size_t PieceSize(const Feed& feed) {
    size_t piece;
    switch (feed.cut & 3) {
    case 0:
        piece = kExplodeInputSize;
        break;
    case 1:
        piece = 1;
        break;
    case 2:
        piece = (feed.cut >> 2) + 1;
        break;
    default:
        piece = (feed.reads * 37 + feed.cut) % 67 + 1;
        break;
    }
    return feed.reads == 0 && piece < 5 ? 5 : piece;
}

uint32_t Read(char* buffer, uint32_t* size, void* param) {
    Feed& feed = *static_cast<Feed*>(param);
    Check(!feed.ended, "read after a read returned 0");
    Check(*size == kExplodeInputSize, "the size word of a read is 2048");
    size_t count = PieceSize(feed);
    if (count > feed.size - feed.offset)
        count = feed.size - feed.offset;
    std::memcpy(buffer, feed.data + feed.offset, count);
    feed.offset += count;
    feed.reads += 1;
    feed.ended = count == 0;
    return static_cast<uint32_t>(count);
}

void Write(char* buffer, uint32_t* size, void* param) {
    Feed& feed = *static_cast<Feed*>(param);
    Check(*size <= 4096, "a write of more than 4096 bytes");
    Check(!feed.lastWriteShort, "a write after the final one");
    feed.lastWriteShort = *size < 4096;
    feed.writes += 1;
    // Reading every byte lets the sanitizers see the whole block.
    for (uint32_t i = 0; i < *size; ++i)
        feed.outputHash = (feed.outputHash ^ static_cast<uint8_t>(buffer[i])) * 1099511628211u;
    feed.outputSize += *size;
}

int Run(Feed& feed) {
    auto work = std::make_unique<ExplodeWorkArea>();
    int result = Explode(Read, Write, work.get(), &feed);
    Check(result >= 0 && result <= 4, "a result outside 0 to 4");
    if (result >= 1 && result <= 3)
        Check(feed.writes == 0, "a write with a header failure");
    else
        Check(feed.lastWriteShort, "no final write shorter than 4096 bytes");
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    Feed cut{data + 1, size - 1, data[0]};
    int result = Run(cut);
    if ((data[0] & 3) != 0) {
        Feed whole{data + 1, size - 1, 0};
        Check(Run(whole) == result, "the result depends on how the input is cut");
        Check(whole.outputSize == cut.outputSize && whole.outputHash == cut.outputHash,
              "the output depends on how the input is cut");
    }
    return 0;
}
