// bit_writer.h - crafts implode streams bit by bit and token by token for the decoder tests.
//
// StreamWriter also keeps what a correct decoder must produce: the output bytes, and for each
// token the bit position where it ends, from which the moments of every read follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "payload/code_tables.h"

using Bytes = std::vector<uint8_t>;

class BitWriter {
  public:
    // n plain bits of value, least significant first. A code value goes out the same way,
    // since its bit 0 is the first bit sent.
    void Bits(uint32_t value, int n) {
        for (int i = 0; i < n; ++i) {
            if (bits_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1)
                bytes_.back() |= static_cast<uint8_t>(1u << (bits_ % 8));
            ++bits_;
        }
    }
    // Bits in the order sent, as '0' and '1'; anything else (spaces) is skipped.
    void Sent(const std::string& text) {
        for (char c : text)
            if (c == '0' || c == '1')
                Bits(c == '1', 1);
    }
    size_t BitCount() const { return bits_; }
    // The bytes so far; the unused high bits of the last one are zero.
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
    size_t bits_ = 0;
};

// A header of literal mode and dictionary bits, followed by the written bits.
inline Bytes WithHeader(uint8_t literalMode, uint8_t dictionaryBits, const BitWriter& bits) {
    Bytes stream{literalMode, dictionaryBits};
    for (uint8_t byte : bits.bytes())
        stream.push_back(byte);
    return stream;
}

class StreamWriter {
  public:
    struct Token {
        size_t endBit;    // bits of the bit stream up to the end of this token
        size_t outputEnd; // output bytes once this token is decoded
        bool end;         // the end code
    };

    StreamWriter(uint8_t literalMode, uint8_t dictionaryBits)
        : literalMode_(literalMode), dictionaryBits_(dictionaryBits) {}

    void Literal(uint8_t c) {
        bits_.Bits(0, 1);
        if (literalMode_ == 1)
            bits_.Bits(codes::kLiteralCodes[c], codes::kLiteralBits[c]);
        else
            bits_.Bits(c, 8);
        output_.push_back(c);
        Close(false);
    }

    void Literals(const std::string& text) {
        for (char c : text)
            Literal(static_cast<uint8_t>(c));
    }

    // A match of length 2..518 reaching distance bytes back (1..256 for length 2, else up to
    // 64 << dictionary bits). Before the first output byte the decoder finds zeros.
    void Match(int length, int distance) {
        bits_.Bits(1, 1);
        int code = codes::kLengthSymbols - 1;
        while (codes::kLengthBase[code] > length - 2)
            --code;
        bits_.Bits(codes::kLengthCodes[code], codes::kLengthBits[code]);
        bits_.Bits(length - 2 - codes::kLengthBase[code], codes::kLengthExtraBits[code]);
        int lowBits = length == 2 ? 2 : dictionaryBits_;
        int high = (distance - 1) >> lowBits;
        bits_.Bits(codes::kDistanceCodes[high], codes::kDistanceBits[high]);
        bits_.Bits(distance - 1, lowBits);
        for (int i = 0; i < length; ++i) {
            size_t size = output_.size();
            output_.push_back(size >= static_cast<size_t>(distance) ? output_[size - distance] : 0);
        }
        Close(false);
    }

    void End() {
        bits_.Bits(1, 1);
        bits_.Bits(codes::kLengthCodes[15], codes::kLengthBits[15]);
        bits_.Bits(codes::kEndExtraValue, 8);
        Close(true);
    }

    // The header and the bit stream.
    Bytes Stream() const { return WithHeader(literalMode_, dictionaryBits_, bits_); }
    const Bytes& output() const { return output_; }
    const std::vector<Token>& tokens() const { return tokens_; }
    BitWriter& bits() { return bits_; }

  private:
    void Close(bool end) { tokens_.push_back({bits_.BitCount(), output_.size(), end}); }

    uint8_t literalMode_;
    uint8_t dictionaryBits_;
    BitWriter bits_;
    Bytes output_;
    std::vector<Token> tokens_;
};
