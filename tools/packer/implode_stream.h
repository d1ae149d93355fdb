// implode_stream.h - the bit cost of every implode token, and the writer of tokens as bits.
//
// The codes are fixed, so a token's cost in bits is known exactly before it is written: the
// parsers compare these prices, and the optimal parse adds them up to the stream's true size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "payload/code_tables.h"

namespace implode {

// A length-2 match sends 2 low distance bits whatever the dictionary size: 64 codes x 4.
constexpr int kMaxDistance2 = 256;
constexpr int kMaxDictionaryBits = 6;
constexpr int kMaxWindow = 64 << kMaxDictionaryBits;

// How far a match of 3 bytes or more may reach back.
constexpr int MaxDistance(int dictionaryBits) {
    return 64 << dictionaryBits;
}

// How many bytes from start on a and b agree, at most limit; a lies before b in the input and
// b + limit does not pass its end.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b, unsigned start, unsigned limit) {
    unsigned len = start;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Eight bytes at a time: the lowest differing bit names the first differing byte.
    while (len + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (uint64_t diff = x ^ y)
            return len + static_cast<unsigned>(__builtin_ctzll(diff) >> 3);
        len += 8;
    }
#endif
    while (len < limit && a[len] == b[len])
        ++len;
    return len;
}

// Length code of every match length 2..518.
struct LengthCodeTable {
    uint8_t code[codes::kMaxMatch + 1];
    constexpr LengthCodeTable() : code{} {
        for (int symbol = 0; symbol < codes::kLengthSymbols; ++symbol) {
            int first = codes::kLengthBase[symbol] + codes::kMinMatch;
            int last = first + (1 << codes::kLengthExtraBits[symbol]) - 1;
            for (int length = first; length <= last && length <= codes::kMaxMatch; ++length)
                code[length] = static_cast<uint8_t>(symbol);
        }
    }
};
inline constexpr LengthCodeTable kLengthCodeOf{};

// Prices in bits for one literal mode and dictionary size. The flag bit is counted with the
// literal and with the length; a match costs length[len] + distance2[d] for len 2 and
// length[len] + distance[d] otherwise.
struct Prices {
    Prices(bool codedLiterals, int dictionaryBits);

    uint8_t literal[256];
    uint8_t length[codes::kMaxMatch + 1];
    uint8_t distance2[kMaxDistance2 + 1];
    uint8_t distance[kMaxWindow + 1];

    unsigned Match(unsigned len, unsigned dist) const {
        return length[len] + (len == 2 ? distance2[dist] : distance[dist]);
    }
};

// Writes one stream into a byte vector: the header at construction, then tokens, then the
// end code. Bits fill each byte from bit 0; a code goes out as its code value, whose bit 0 is
// the first bit sent, so codes and plain fields are written the same way.
class TokenWriter {
  public:
    TokenWriter(std::vector<unsigned char>* out, bool codedLiterals, int dictionaryBits);

    void Literal(unsigned byte) {
        if (coded_)
            Put(uint32_t{codes::kLiteralCodes[byte]} << 1, 1 + codes::kLiteralBits[byte]);
        else
            Put(byte << 1, 9);
    }

    // len 2..518; dist 1..256 for len 2, otherwise 1..64 << dictionary bits.
    void Match(unsigned len, unsigned dist) {
        unsigned symbol = kLengthCodeOf.code[len];
        unsigned extraBits = codes::kLengthExtraBits[symbol];
        unsigned codeBits = codes::kLengthBits[symbol];
        uint64_t bits = 1 | uint64_t{codes::kLengthCodes[symbol]} << 1 |
                        uint64_t{len - codes::kMinMatch - codes::kLengthBase[symbol]}
                            << (1 + codeBits);
        unsigned count = 1 + codeBits + extraBits;
        unsigned lowBits = len == 2 ? 2 : dictionaryBits_;
        unsigned high = (dist - 1) >> lowBits;
        unsigned low = (dist - 1) & ((1u << lowBits) - 1);
        bits |= uint64_t{codes::kDistanceCodes[high]} << count;
        count += codes::kDistanceBits[high];
        bits |= uint64_t{low} << count;
        count += lowBits;
        Put(bits, count); // at most 1 + 7 + 8 + 8 + 6 = 30 bits
    }

    // The end code (length code 15 with extra value 255), then the last partial byte.
    void Finish();

  private:
    // Invariant: fewer than 32 bits wait in pending_ between calls, so 32 more always fit.
    void Put(uint64_t bits, unsigned count) {
        pending_ |= bits << pendingCount_;
        pendingCount_ += count;
        if (pendingCount_ >= 32) {
            unsigned char bytes[4] = {static_cast<unsigned char>(pending_),
                                      static_cast<unsigned char>(pending_ >> 8),
                                      static_cast<unsigned char>(pending_ >> 16),
                                      static_cast<unsigned char>(pending_ >> 24)};
            out_->insert(out_->end(), bytes, bytes + 4);
            pending_ >>= 32;
            pendingCount_ -= 32;
        }
    }

    std::vector<unsigned char>* out_;
    uint64_t pending_ = 0;
    unsigned pendingCount_ = 0;
    bool coded_;
    unsigned dictionaryBits_;
};

// The same tokens sent to one or two writers: Auto at the fast level writes one parse in both
// literal modes and keeps the smaller stream.
struct TokenSink {
    TokenWriter* writers[2];
    int count;

    void Literal(unsigned byte) {
        for (int i = 0; i < count; ++i)
            writers[i]->Literal(byte);
    }
    void Match(unsigned len, unsigned dist) {
        for (int i = 0; i < count; ++i)
            writers[i]->Match(len, dist);
    }
};

// The parsers. Each writes the tokens of data[0..size), without the end code. size is below
// 2^31. Fast decides with guide's prices; Best runs its own optimal parse for each writer's
// prices (prices[i] for writers[i]).
void ParseFast(const uint8_t* data, size_t size, int dictionaryBits, const Prices& guide,
               TokenSink* sink);
void ParseBest(const uint8_t* data, size_t size, int dictionaryBits, const Prices* const* prices,
               TokenWriter* const* writers, int count);

} // namespace implode
