// implode_settings.cpp - the settings matrix and the round-trip check of the implode tests.
#include "tests/implode/implode_settings.h"

#include <gtest/gtest.h>

#include <memory>

#include "payload/explode.h"
#include "payload/explode_in_memory.h"
#include "tests/implode/token_scan.h"

std::vector<ImplodeOptions> AllSettings() {
    std::vector<ImplodeOptions> settings;
    for (ImplodeLevel level : {ImplodeLevel::Fast, ImplodeLevel::Best})
        for (LiteralMode literals : {LiteralMode::Raw, LiteralMode::Coded, LiteralMode::Auto})
            for (int bits = 4; bits <= 6; ++bits)
                settings.push_back({level, literals, bits});
    return settings;
}

std::string Describe(const ImplodeOptions& options) {
    const char* literals = options.literals == LiteralMode::Raw     ? "raw"
                           : options.literals == LiteralMode::Coded ? "coded"
                                                                    : "auto";
    return std::string(options.level == ImplodeLevel::Fast ? "fast" : "best") + "/" + literals +
           "/" + std::to_string(options.dictionaryBits);
}

Bytes ExpectRoundTrip(const Bytes& data, const ImplodeOptions& options) {
    SCOPED_TRACE(Describe(options) + ", " + std::to_string(data.size()) + " bytes");
    Bytes stream;
    bool explodable = Implode(data.data(), data.size(), options, &stream);
    // Only the empty input makes a stream as short as 4 bytes.
    EXPECT_EQ(explodable, !data.empty());
    EXPECT_EQ(explodable, stream.size() > 4);

    StreamScan scan = ScanStream(stream);
    EXPECT_TRUE(scan.headerValid);
    EXPECT_EQ(scan.dictionaryBits, options.dictionaryBits);
    if (options.literals != LiteralMode::Auto) {
        EXPECT_EQ(scan.literalMode, options.literals == LiteralMode::Coded ? 1 : 0);
    }
    EXPECT_TRUE(scan.ended);
    EXPECT_EQ(scan.bytesAfterEnd, 0u) << "the end code must finish in the last byte";
    EXPECT_TRUE(scan.paddingZero);
    EXPECT_EQ(scan.outputSize, data.size());
    EXPECT_FALSE(scan.reachesBeforeStart);
    EXPECT_LE(scan.farthestLength2, 256u);
    EXPECT_LE(scan.farthestMatch, size_t{64} << options.dictionaryBits);

    Bytes output;
    auto work = std::make_unique<ExplodeWorkArea>();
    int result = ExplodeAppending(stream.data(), stream.size(), work.get(), &output).result;
    if (explodable) {
        EXPECT_EQ(result, kExplodeOk);
        // Compared as a whole: a mismatch of megabytes is not worth printing byte by byte.
        EXPECT_TRUE(output == data) << "explode gave " << output.size() << " bytes";
    } else {
        EXPECT_EQ(result, kExplodeTooShort);
    }
    return stream;
}
