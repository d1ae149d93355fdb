// implode_stream.cpp - token prices from the code tables, and the stream header and end code.
#include "tools/packer/implode_stream.h"

namespace implode {

Prices::Prices(bool codedLiterals, int dictionaryBits) {
    for (int byte = 0; byte < 256; ++byte)
        literal[byte] = static_cast<uint8_t>(1 + (codedLiterals ? codes::kLiteralBits[byte] : 8));
    length[0] = length[1] = 0; // no such matches
    for (int len = codes::kMinMatch; len <= codes::kMaxMatch; ++len) {
        int symbol = kLengthCodeOf.code[len];
        length[len] =
            static_cast<uint8_t>(1 + codes::kLengthBits[symbol] + codes::kLengthExtraBits[symbol]);
    }
    distance2[0] = 0;
    for (int dist = 1; dist <= kMaxDistance2; ++dist)
        distance2[dist] = static_cast<uint8_t>(codes::kDistanceBits[(dist - 1) >> 2] + 2);
    // Distances past this dictionary's reach are priced as the farthest code; the match
    // finders never offer them.
    distance[0] = 0;
    int reach = MaxDistance(dictionaryBits);
    for (int dist = 1; dist <= kMaxWindow; ++dist) {
        int high = (dist <= reach ? dist - 1 : reach - 1) >> dictionaryBits;
        distance[dist] = static_cast<uint8_t>(codes::kDistanceBits[high] + dictionaryBits);
    }
}

TokenWriter::TokenWriter(std::vector<unsigned char>* out, bool codedLiterals, int dictionaryBits)
    : out_(out), coded_(codedLiterals), dictionaryBits_(static_cast<unsigned>(dictionaryBits)) {
    out_->push_back(codedLiterals ? 1 : 0);
    out_->push_back(static_cast<unsigned char>(dictionaryBits));
}

void TokenWriter::Finish() {
    constexpr int kEnd = codes::kLengthSymbols - 1;
    Put(1 | uint64_t{codes::kLengthCodes[kEnd]} << 1 |
            uint64_t{codes::kEndExtraValue} << (1 + codes::kLengthBits[kEnd]),
        1 + codes::kLengthBits[kEnd] + codes::kLengthExtraBits[kEnd]);
    // The unused high bits of the last byte stay zero; the reader ignores them.
    while (pendingCount_ > 0) {
        out_->push_back(static_cast<unsigned char>(pending_));
        pending_ >>= 8;
        pendingCount_ = pendingCount_ > 8 ? pendingCount_ - 8 : 0;
    }
}

} // namespace implode
