// fuzz_roundtrip.cpp - for any bytes, Explode(Implode(bytes)) gives the bytes back.
//
// The first input byte picks the setting: bit 0 the level (1 best), bits 1-2 the literal mode
// (0 raw, 1 coded, 2 and 3 auto), bits 3-4 the dictionary bits (4 + value, 3 meaning 6); the
// rest is the data. A fault aborts.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "payload/explode.h"
#include "payload/explode_in_memory.h"
#include "tools/packer/implode.h"

namespace {

ExplodeWorkArea work;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const LiteralMode modes[] = {LiteralMode::Raw, LiteralMode::Coded, LiteralMode::Auto,
                                 LiteralMode::Auto};
    const int dictionaryBits[] = {4, 5, 6, 6};
    ImplodeOptions options{data[0] & 1 ? ImplodeLevel::Best : ImplodeLevel::Fast,
                           modes[(data[0] >> 1) & 3], dictionaryBits[(data[0] >> 3) & 3]};
    const unsigned char* bytes = data + 1;
    size_t count = size - 1;

    std::vector<unsigned char> stream;
    bool explodable = Implode(bytes, count, options, &stream);
    if (explodable != (count > 0))
        std::abort();
    MemoryExplodeResult run = ExplodeComparing(stream.data(), stream.size(), &work, bytes, count);
    if (run.largestWrite > 4096)
        std::abort();
    if (!explodable) {
        if (run.result != kExplodeTooShort)
            std::abort();
        return 0;
    }
    if (run.result != kExplodeOk || run.refused || run.written != count)
        std::abort();
    return 0;
}
