// test_implode_roundtrip.cpp - Explode gives back what Implode compressed, at every level,
// literal mode and dictionary size, for every kind of data and size that matters.
#include <gtest/gtest.h>

#include "tests/implode/implode_settings.h"
#include "tests/support/test_data.h"

namespace {

TEST(ImplodeRoundTrip, EveryKindOfDataAtEverySetting) {
    for (DataKind kind : kAllDataKinds) {
        SCOPED_TRACE(DataKindName(kind));
        Bytes data = MakeTestData(kind, 48 * 1024, 1);
        for (const ImplodeOptions& options : AllSettings())
            ExpectRoundTrip(data, options);
    }
}

// From the empty input (reported as too short to explode) to a few tokens, where the end
// code lands at every bit position of the last byte.
TEST(ImplodeRoundTrip, TinyInputs) {
    for (DataKind kind : {DataKind::Text, DataKind::Runs, DataKind::Random})
        for (size_t size = 0; size <= 16; ++size) {
            SCOPED_TRACE(std::string(DataKindName(kind)) + " " + std::to_string(size));
            Bytes data = MakeTestData(kind, size, 2 + size);
            for (const ImplodeOptions& options : AllSettings())
                ExpectRoundTrip(data, options);
        }
}

// Explode writes 4096 bytes each time its output reaches 8192 and slides its window; sizes
// on either side of those points, and around the best level's block, catch edge faults.
TEST(ImplodeRoundTrip, SizesAroundWindowAndBlockEdges) {
    const size_t sizes[] = {4095,  4096,  4097,  8191,  8192,  8193,
                            12287, 12288, 12289, 16383, 16384, 16385};
    for (DataKind kind : {DataKind::Binary, DataKind::Runs, DataKind::Random})
        for (size_t size : sizes) {
            SCOPED_TRACE(std::string(DataKindName(kind)) + " " + std::to_string(size));
            Bytes data = MakeTestData(kind, size, size);
            for (const ImplodeOptions& options : AllSettings())
                if (options.dictionaryBits == 6 || options.literals == LiteralMode::Auto)
                    ExpectRoundTrip(data, options);
        }
    // The best level parses 256 KiB at a time.
    for (size_t size : {size_t{1} << 18, (size_t{1} << 18) + 1, (size_t{1} << 19) + 3}) {
        Bytes data = MakeTestData(DataKind::Mixed, size, 3);
        ExpectRoundTrip(data, {ImplodeLevel::Best, LiteralMode::Auto, 6});
    }
}

TEST(ImplodeRoundTrip, InputsOfSomeMegabytes) {
    Bytes mixed = MakeTestData(DataKind::Mixed, 3 << 20, 4);
    Bytes runs = MakeTestData(DataKind::Runs, 1 << 20, 5);
    Bytes zeros(1 << 20, 0);
    for (const Bytes* data : {&mixed, &runs, &zeros})
        for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best})
            ExpectRoundTrip(*data, {level, LiteralMode::Auto, 6});
    ExpectRoundTrip(mixed, {ImplodeLevel::Best, LiteralMode::Coded, 4});
}

} // namespace
