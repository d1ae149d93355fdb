// code_tables.h - the constant code tables of the implode format, shared by Explode and Implode.
//
// Each of the three codes is given by its bit lengths, one per symbol. The codes follow from
// the lengths by one rule: order the symbols by (length, index), assign canonical codes as
// deflate does, then complement every code within its own length, so the first code of the
// shortest length is all ones. Codes are sent most significant bit first; a "code value" is
// the code as a number whose bit 0 is the first bit sent, which is how the bit reader sees it.
#pragma once

#include <array>
#include <cstdint>

namespace codes {

constexpr int kLengthSymbols = 16;
constexpr int kDistanceSymbols = 64;
constexpr int kLiteralSymbols = 256;

// Bit length of each of the 16 length codes.
inline constexpr uint8_t kLengthBits[kLengthSymbols] = {3, 2, 3, 3, 4, 4, 4, 5,
                                                        5, 5, 5, 6, 6, 6, 7, 7};
// Number of plain extra bits that follow each length code.
inline constexpr uint8_t kLengthExtraBits[kLengthSymbols] = {0, 0, 0, 0, 0, 0, 0, 0,
                                                             1, 2, 3, 4, 5, 6, 7, 8};
// Base of each length code: length = base + extra value + 2.
inline constexpr uint16_t kLengthBase[kLengthSymbols] = {0, 1,  2,  3,  4,  5,  6,   7,
                                                         8, 10, 14, 22, 38, 70, 134, 262};

// Bit length of each of the 64 distance codes (the high part of a distance), one line per
// length: index 0; 1-2; 3-6; 7-21; 22-47; 48-63.
// clang-format off
inline constexpr uint8_t kDistanceBits[kDistanceSymbols] = {
    2,
    4, 4,
    5, 5, 5, 5,
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
// clang-format on

// Bit length of the literal code of each byte value (coded-literal mode only).
inline constexpr uint8_t kLiteralBits[kLiteralSymbols] = {
    11, 12, 12, 12, 12, 12, 12, 12, 12, 8,  7,  12, 12, 7,  12, 12, // 0x00
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 13, 12, 12, 12, 12, 12, // 0x10
    4,  10, 8,  12, 10, 12, 10, 8,  7,  7,  8,  9,  7,  6,  7,  8,  // 0x20
    7,  6,  7,  7,  7,  7,  8,  7,  7,  8,  8,  12, 11, 7,  9,  11, // 0x30
    12, 6,  7,  6,  6,  5,  7,  8,  8,  6,  11, 9,  6,  7,  6,  6,  // 0x40
    7,  11, 6,  6,  6,  7,  9,  8,  9,  9,  11, 8,  11, 9,  12, 8,  // 0x50
    12, 5,  6,  6,  6,  5,  6,  6,  6,  5,  11, 7,  5,  6,  5,  5,  // 0x60
    6,  10, 5,  5,  5,  5,  8,  7,  8,  8,  10, 11, 11, 12, 12, 12, // 0x70
    13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, // 0x80
    13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, // 0x90
    13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, // 0xA0
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, // 0xB0
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, // 0xC0
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, // 0xD0
    13, 12, 13, 13, 13, 12, 13, 13, 13, 12, 13, 13, 13, 13, 12, 13, // 0xE0
    13, 13, 12, 12, 12, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, // 0xF0
};

// A complete code: every bit sequence begins with exactly one code, so no length is 0 and
// the lengths fill the code space exactly. A miscounted row of a table breaks this.
template <int N> constexpr bool IsComplete(const uint8_t (&bits)[N]) {
    uint32_t space = 0;
    for (int symbol = 0; symbol < N; ++symbol) {
        if (bits[symbol] == 0 || bits[symbol] > 16)
            return false;
        space += 1u << (16 - bits[symbol]);
    }
    return space == 1u << 16;
}
static_assert(IsComplete(kLengthBits) && IsComplete(kDistanceBits) && IsComplete(kLiteralBits));

// The code rule, evaluated at compile time: the code value of every symbol.
template <int N> constexpr std::array<uint16_t, N> CodeValues(const uint8_t (&bits)[N]) {
    std::array<uint16_t, N> values{};
    uint32_t code = 0;
    int previousLength = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int symbol = 0; symbol < N; ++symbol) {
            if (bits[symbol] != length)
                continue;
            if (previousLength != 0)
                code = (code + 1) << (length - previousLength);
            previousLength = length;
            // Complement within the length, then reverse so the first bit sent is bit 0.
            uint32_t sent = ~code & ((1u << length) - 1);
            uint32_t value = 0;
            for (int i = 0; i < length; ++i)
                value |= ((sent >> (length - 1 - i)) & 1u) << i;
            values[symbol] = static_cast<uint16_t>(value);
        }
    }
    return values;
}

inline constexpr std::array<uint16_t, kLengthSymbols> kLengthCodes = CodeValues(kLengthBits);
inline constexpr std::array<uint16_t, kDistanceSymbols> kDistanceCodes = CodeValues(kDistanceBits);
inline constexpr std::array<uint16_t, kLiteralSymbols> kLiteralCodes = CodeValues(kLiteralBits);

// Examples of the rule, as the format describes them.
static_assert(kLengthCodes[0] == 5 && kLengthCodes[2] == 1 && kLengthCodes[1] == 3);
static_assert(kLengthCodes[15] == 0);
static_assert(kDistanceCodes[0] == 3 && kDistanceCodes[63] == 0);
static_assert(kDistanceCodes[1] == 0b1101); // sent as 1011
static_assert(kDistanceCodes[7] == 0b111110 && kDistanceCodes[22] == 0b1000010);
static_assert(kDistanceCodes[48] == 0b11110000); // sent as 00001111
static_assert(kLiteralCodes[0x20] == 0xF);       // space, the only 4-bit code, 1111
static_assert(kLiteralCodes[0xFF] == 0);         // thirteen zeros

// Lengths: 2..518 in matches; the end of the stream is length code 15 with extra value 255.
constexpr int kMinMatch = 2;
constexpr int kMaxMatch = 518;
constexpr int kEndExtraValue = 255;

} // namespace codes
