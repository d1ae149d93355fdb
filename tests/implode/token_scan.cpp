// token_scan.cpp - the bit-by-bit token reader of the implode tests.
#include "tests/implode/token_scan.h"

#include <cstdint>

#include "payload/code_tables.h"

namespace {

// Symbol of each (bit count, code value) pair of one code; -1 where no code is that.
template <int N> struct CodeLookup {
    int16_t symbol[14][1 << 13];
    CodeLookup(const uint8_t (&bits)[N], const std::array<uint16_t, N>& values) {
        for (auto& row : symbol)
            for (int16_t& entry : row)
                entry = -1;
        for (int s = 0; s < N; ++s)
            symbol[bits[s]][values[s]] = static_cast<int16_t>(s);
    }
};

const CodeLookup<codes::kLengthSymbols>& LengthLookup() {
    static const CodeLookup<codes::kLengthSymbols> lookup(codes::kLengthBits, codes::kLengthCodes);
    return lookup;
}
const CodeLookup<codes::kDistanceSymbols>& DistanceLookup() {
    static const CodeLookup<codes::kDistanceSymbols> lookup(codes::kDistanceBits,
                                                            codes::kDistanceCodes);
    return lookup;
}
const CodeLookup<codes::kLiteralSymbols>& LiteralLookup() {
    static const CodeLookup<codes::kLiteralSymbols> lookup(codes::kLiteralBits,
                                                           codes::kLiteralCodes);
    return lookup;
}

class BitReader {
  public:
    explicit BitReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    bool Bit(unsigned* bit) {
        if (position_ / 8 >= bytes_.size())
            return false;
        *bit = (bytes_[position_ / 8] >> (position_ % 8)) & 1;
        ++position_;
        return true;
    }
    // n plain bits, the first one read into bit 0.
    bool Plain(unsigned n, unsigned* value) {
        *value = 0;
        for (unsigned i = 0; i < n; ++i) {
            unsigned bit;
            if (!Bit(&bit))
                return false;
            *value |= bit << i;
        }
        return true;
    }
    // One code, its first bit sent into bit 0 of the code value.
    template <int N> bool Code(const CodeLookup<N>& lookup, unsigned* symbol) {
        unsigned value = 0;
        for (unsigned length = 1; length <= 13; ++length) {
            unsigned bit;
            if (!Bit(&bit))
                return false;
            value |= bit << (length - 1);
            if (lookup.symbol[length][value] >= 0) {
                *symbol = static_cast<unsigned>(lookup.symbol[length][value]);
                return true;
            }
        }
        return false;
    }
    size_t position() const { return position_; }
    void Seek(size_t bit) { position_ = bit; }

  private:
    const std::vector<unsigned char>& bytes_;
    size_t position_ = 0;
};

} // namespace

StreamScan ScanStream(const std::vector<unsigned char>& stream, bool decode) {
    StreamScan scan;
    if (stream.size() < 2)
        return scan;
    scan.literalMode = stream[0];
    scan.dictionaryBits = stream[1];
    scan.headerValid =
        scan.literalMode <= 1 && scan.dictionaryBits >= 4 && scan.dictionaryBits <= 6;
    if (!scan.headerValid)
        return scan;
    BitReader reader(stream);
    reader.Seek(16);
    for (;;) {
        unsigned flag;
        if (!reader.Bit(&flag))
            return scan;
        if (flag == 0) {
            unsigned byte;
            bool read = scan.literalMode == 1 ? reader.Code(LiteralLookup(), &byte)
                                              : reader.Plain(8, &byte);
            if (!read)
                return scan;
            ++scan.literals;
            ++scan.outputSize;
            if (decode)
                scan.output.push_back(static_cast<unsigned char>(byte));
            continue;
        }
        unsigned symbol, extra;
        if (!reader.Code(LengthLookup(), &symbol) ||
            !reader.Plain(codes::kLengthExtraBits[symbol], &extra))
            return scan;
        if (symbol == codes::kLengthSymbols - 1 && extra == codes::kEndExtraValue) {
            scan.ended = true;
            size_t endBit = reader.position();
            size_t lastByte = (endBit - 1) / 8;
            scan.bytesAfterEnd = stream.size() - 1 - lastByte;
            unsigned padding = stream[lastByte] >> (endBit % 8 == 0 ? 8 : endBit % 8);
            scan.paddingZero = endBit % 8 == 0 || padding == 0;
            return scan;
        }
        unsigned length = codes::kLengthBase[symbol] + extra + codes::kMinMatch;
        unsigned high, low;
        unsigned lowBits = length == 2 ? 2 : static_cast<unsigned>(scan.dictionaryBits);
        if (!reader.Code(DistanceLookup(), &high) || !reader.Plain(lowBits, &low))
            return scan;
        size_t distance = (size_t{high} << lowBits) + low + 1;
        ++scan.matches;
        if (length == 2) {
            ++scan.length2Matches;
            if (distance > scan.farthestLength2)
                scan.farthestLength2 = distance;
        } else if (distance > scan.farthestMatch) {
            scan.farthestMatch = distance;
        }
        if (length > scan.longestLength)
            scan.longestLength = length;
        if (distance > scan.outputSize)
            scan.reachesBeforeStart = true;
        if (decode && !scan.reachesBeforeStart)
            for (unsigned i = 0; i < length; ++i)
                scan.output.push_back(scan.output[scan.output.size() - distance]);
        scan.outputSize += length;
    }
}
