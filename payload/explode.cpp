// explode.cpp - decompression of one implode stream through read and write callbacks.
//
// The decoder is table driven: every code decision looks at the next 8 bits of the stream.
// Its observable behaviour (when the read callback is called, what is written when) is that
// of a bit reader with exactly 8 look-ahead bits that takes one input byte at a time. For
// speed the reader here keeps up to 64 bits and takes bytes from the input buffer ahead of
// need; taking bytes the caller has already delivered is invisible, and a new block is asked
// for only at the moment the byte-at-a-time reader would ask for it.
#include "payload/explode.h"

#include <cstddef>
#include <cstring>

#include "app/install_state.h"
#include "payload/code_tables.h"

// The work area lives in the install state's scratch buffer during extraction.
static_assert(sizeof(ExplodeWorkArea) <= kScratchSize, "the explode work area must fit scratch");

namespace {

// Output starts behind 4096 bytes of history; when it reaches 8192 the oldest 4096 bytes go.
constexpr uint32_t kHistorySize = 4096;
constexpr uint32_t kFlushPosition = 2 * kHistorySize;
static_assert(kFlushPosition - 1 + codes::kMaxMatch <= kExplodeWindowSize,
              "a match starting just below the flush position fits the window");

// Token values: 0-255 literals, 256-772 matches (length = value - 254), then these two.
constexpr uint32_t kTokenEnd = 773;
constexpr uint32_t kTokenError = 774;
// Length code plus extra value of the end code: code 15 with its 8 extra bits all ones.
constexpr uint32_t kEndCodeSum = 15 + codes::kEndExtraValue;

// In the literal decode table, a code longer than 8 bits. Literal 255 has a 13-bit code, so
// it never occupies an entry of that table itself.
constexpr uint8_t kLiteralEscape = 255;

// The bit buffer is one machine word: 64 bits where registers are that wide, 32 on a 32-bit
// target, where a 64-bit buffer costs two registers and a carry at every shift.
using BitWord = uintptr_t;
constexpr uint32_t kWordBits = sizeof(BitWord) * 8;

// The longest token: flag 1 + length code 7 + extra 8 (a literal takes at most 1 + 13), then
// for a match distance code 8 + low bits 6. With that many bits plus the 8 look-ahead bits in
// the reader, each part decodes without a single check, and the reader still holds its
// look-ahead afterwards. A 64-bit buffer holds a whole token; a 32-bit one is refilled between
// the two parts.
constexpr uint32_t kHeadBits = 16;
constexpr uint32_t kDistanceBits = 14;
constexpr bool kWholeTokens = kHeadBits + kDistanceBits + 8 <= kWordBits - 7;
constexpr uint32_t kHeadNeed = (kWholeTokens ? kHeadBits + kDistanceBits : kHeadBits) + 8;
constexpr uint32_t kDistanceNeed = kDistanceBits + 8;
static_assert(kHeadNeed <= kWordBits - 7, "a refill always reaches what the head needs");

// The literal code paths: a code of 8 bits or less decodes in one lookup; a longer one is
// escaped and decoded from the bits after 4, 6 or 8 dropped bits. Each path must leave at
// most 8 bits to consume and index its secondary table within bounds.
constexpr bool LiteralPathsFit() {
    for (int c = 0; c < codes::kLiteralSymbols; ++c) {
        uint32_t length = codes::kLiteralBits[c];
        uint32_t value = codes::kLiteralCodes[c];
        if (length <= 8)
            continue;
        uint32_t dropped = (value & 0xFF) == 0 ? 8 : (value & 0x3F) == 0 ? 6 : 4;
        uint32_t tableBits = dropped == 6 ? 7 : 8;
        if (length - dropped > 8 || (value >> dropped) >= (1u << tableBits))
            return false;
    }
    return true;
}
static_assert(LiteralPathsFit(), "every long literal code resolves through one secondary table");
static_assert(codes::kLiteralBits[kLiteralEscape] > 8, "255 in the first table means escape");

// Sets entries value, value + 2^length, value + 2 * 2^length, ... below size to symbol: every
// look-ahead value whose first length bits are the code.
void Spread(uint8_t* table, uint32_t size, uint32_t value, uint32_t length, uint8_t symbol) {
    for (uint32_t index = value; index < size; index += 1u << length)
        table[index] = symbol;
}

// Fills a 256-entry table that maps 8 look-ahead bits to the symbol whose code begins them.
// The code is complete and no code is longer than 8 bits, so every entry is set once.
void BuildCodeTable(int count, const uint8_t* lengths, const uint16_t* values, uint8_t* table) {
    for (int symbol = count - 1; symbol >= 0; --symbol)
        Spread(table, 256, values[symbol], lengths[symbol], static_cast<uint8_t>(symbol));
}

// Fills the literal decode table and the three secondary tables from the literal code values;
// the residual lengths, a copy of the bit lengths on entry, become the bits still to consume
// after the secondary lookup.
void BuildLiteralTables(ExplodeWorkArea* work) {
    // Entries no bit sequence reaches stay zero rather than undefined.
    std::memset(work->literalAfter4, 0, sizeof work->literalAfter4);
    std::memset(work->literalAfter6, 0, sizeof work->literalAfter6);
    std::memset(work->literalAfter8, 0, sizeof work->literalAfter8);
    for (int c = codes::kLiteralSymbols - 1; c >= 0; --c) {
        uint32_t length = work->literalResidual[c];
        uint32_t value = codes::kLiteralCodes[c];
        uint8_t literal = static_cast<uint8_t>(c);
        if (length <= 8) {
            Spread(work->literalDecode, 256, value, length, literal);
        } else if ((value & 0xFF) != 0) {
            work->literalDecode[value & 0xFF] = kLiteralEscape;
            if ((value & 0x3F) != 0) {
                work->literalResidual[c] = static_cast<uint8_t>(length - 4);
                Spread(work->literalAfter4, 256, value >> 4, length - 4, literal);
            } else {
                work->literalResidual[c] = static_cast<uint8_t>(length - 6);
                Spread(work->literalAfter6, 128, value >> 6, length - 6, literal);
            }
        } else {
            work->literalResidual[c] = static_cast<uint8_t>(length - 8);
            Spread(work->literalAfter8, 256, value >> 8, length - 8, literal);
        }
    }
}

// One word of input bytes as a number, the first byte in the low bits.
BitWord LoadWord(const uint8_t* bytes) {
    BitWord word;
    std::memcpy(&word, bytes, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = sizeof word == 8 ? __builtin_bswap64(word) : __builtin_bswap32(word);
#endif
    return word;
}

// The bit reader. Invariants: bits holds count valid bits, the next one in bit 0, zeros above;
// count >= 8 after every successful step, so each decision can look at 8 bits before it
// consumes anything; [next, end) are the bytes of the input buffer not yet taken.
class BitReader {
  public:
    explicit BitReader(ExplodeWorkArea* work)
        : bits_(work->bitBuffer), count_(8 + work->spareBits),
          next_(reinterpret_cast<const uint8_t*>(work->input) + work->inputPosition),
          end_(reinterpret_cast<const uint8_t*>(work->input) + work->inputCount), work_(work) {}

    // Hands the reader's state back to the work area when decoding stops.
    void Store() const {
        work_->bitBuffer = static_cast<uint32_t>(bits_);
        work_->spareBits = count_ - 8;
        work_->inputPosition = static_cast<uint32_t>(next_ - Input());
    }

    uint32_t Peek(uint32_t n) const { return static_cast<uint32_t>(bits_) & ((1u << n) - 1); }
    uint32_t Low32() const { return static_cast<uint32_t>(bits_); }
    uint32_t Low8() const { return static_cast<uint32_t>(bits_) & 0xFF; }
    bool FirstBit() const { return (bits_ & 1) != 0; }

    // Tops the buffer up from the input buffer, never from the read callback. Returns true
    // when it then holds at least Need bits, for a part of a token to decode without checks.
    template <uint32_t Need> bool Refill() {
        if (count_ >= Need)
            return true;
        if (end_ - next_ >= static_cast<ptrdiff_t>(sizeof(BitWord))) {
            // Takes as many whole bytes as fit; the partial byte shifted in is masked off.
            bits_ |= LoadWord(next_) << count_;
            next_ += (kWordBits - 1 - count_) >> 3;
            count_ |= kWordBits - 8;
            bits_ &= (BitWord{1} << count_) - 1;
            return true;
        }
        while (count_ <= kWordBits - 8 && next_ != end_) {
            bits_ |= BitWord{*next_++} << count_;
            count_ += 8;
        }
        return count_ >= Need;
    }

    // Drops n bits that Refill has guaranteed to be there beyond the look-ahead.
    void Drop(uint32_t n) {
        bits_ >>= n;
        count_ -= n;
    }

    // Drops n bits (1 to 8) and keeps 8 look-ahead bits, taking one more byte when fewer would
    // remain. Only when the input buffer is used up does it ask the read callback for the next
    // block; fails when that returns 0.
    bool ConsumeBits(uint32_t n) {
        if (count_ - n >= 8) {
            Drop(n);
            return true;
        }
        if (next_ == end_ && !ReadBlock())
            return false;
        bits_ |= BitWord{*next_++} << count_;
        count_ += 8;
        Drop(n);
        return true;
    }

  private:
    const uint8_t* Input() const { return reinterpret_cast<const uint8_t*>(work_->input); }

    bool ReadBlock() {
        work_->inputPosition = kExplodeInputSize; // the size word
        uint32_t count = work_->read(work_->input, &work_->inputPosition, work_->userParam);
        // A callback that claims more than the buffer holds gets only the buffer read.
        if (count > kExplodeInputSize)
            count = kExplodeInputSize;
        work_->inputCount = count;
        if (count == 0)
            return false;
        next_ = Input();
        end_ = next_ + count;
        return true;
    }

    BitWord bits_;
    uint32_t count_;
    const uint8_t* next_;
    const uint8_t* end_;
    ExplodeWorkArea* work_;
};

// One consume step: unchecked after a successful Refill, else exactly as the byte-at-a-time
// reader does it, with the read callback at the same moments.
template <bool Checked> inline bool Consume(BitReader& in, uint32_t n) {
    if constexpr (Checked)
        return in.ConsumeBits(n);
    in.Drop(n);
    return true;
}

// Reads one token: 0-255 a literal, 256-772 a match (length = value - 254), kTokenEnd, or
// kTokenError when the input ends inside it.
template <bool Checked, bool Coded>
inline uint32_t ReadToken(const ExplodeWorkArea* work, BitReader& in) {
    if (in.FirstBit()) {
        if (!Consume<Checked>(in, 1))
            return kTokenError;
        uint32_t code = work->lengthDecode[in.Low8()];
        if (!Consume<Checked>(in, work->lengthLengths[code]))
            return kTokenError;
        uint32_t value = work->lengthBases[code];
        uint32_t extraBits = work->lengthExtraBits[code];
        if (extraBits != 0) {
            uint32_t extra = in.Peek(extraBits);
            // The end code's bits are all there even when no byte follows it to refill the
            // look-ahead, so it stands where any other token would be broken.
            if (!Consume<Checked>(in, extraBits) && code + extra != kEndCodeSum)
                return kTokenError;
            value += extra;
        }
        return value + 256;
    }
    if (!Consume<Checked>(in, 1))
        return kTokenError;
    uint32_t literal;
    if constexpr (!Coded) {
        literal = in.Low8();
        if (!Consume<Checked>(in, 8))
            return kTokenError;
        return literal;
    }
    uint32_t lookahead = in.Low8();
    if (lookahead != 0) {
        literal = work->literalDecode[lookahead];
        if (literal == kLiteralEscape) {
            if ((lookahead & 0x3F) != 0) {
                if (!Consume<Checked>(in, 4))
                    return kTokenError;
                literal = work->literalAfter4[in.Low8()];
            } else {
                if (!Consume<Checked>(in, 6))
                    return kTokenError;
                literal = work->literalAfter6[in.Low8() & 0x7F];
            }
        }
    } else {
        if (!Consume<Checked>(in, 8))
            return kTokenError;
        literal = work->literalAfter8[in.Low8()];
    }
    if (!Consume<Checked>(in, work->literalResidual[literal]))
        return kTokenError;
    return literal;
}

// Reads the distance of a match of the given length: 1 to 4096, or 0 when the input ends.
template <bool Checked>
inline uint32_t ReadDistance(const ExplodeWorkArea* work, BitReader& in, uint32_t length) {
    uint32_t high = work->distanceDecode[in.Low8()];
    if (!Consume<Checked>(in, work->distanceLengths[high]))
        return 0;
    // Length 2 reaches at most 256 back whatever the dictionary size.
    uint32_t lowBits = length == 2 ? 2 : work->dictionaryBits;
    uint32_t lowMask = length == 2 ? 3 : work->dictionaryMask;
    uint32_t distance = (high << lowBits) + (in.Low32() & lowMask);
    if (!Consume<Checked>(in, lowBits))
        return 0;
    return distance + 1;
}

// Copies length bytes forward in blocks of Block bytes, each from distance back. Correct for any
// distance of at least Block: a block's source then lies wholly below its destination and is
// complete before it is read, as if the copy ran byte by byte.
template <uint32_t Block> inline void CopyBlocks(uint8_t* out, uint32_t length, uint32_t distance) {
    uint8_t* stop = out + length;
    do {
        std::memcpy(out, out - distance, Block);
        out += Block;
    } while (out < stop);
}

// Repeats length bytes from distance back; a distance shorter than the length repeats the
// last distance bytes as a pattern, exactly as a byte-by-byte forward copy would.
inline void CopyMatch(uint8_t* window, uint32_t position, uint32_t length, uint32_t distance) {
    uint8_t* out = window + position;
    const uint8_t* from = out - distance;
    // Block copies may write up to 15 bytes beyond the match. Those bytes lie above the output
    // position, where the next tokens overwrite them; only near the top of the window, where
    // they would not fit, does the copy go byte by byte.
    if (position + length + 15 > static_cast<uint32_t>(kExplodeWindowSize)) {
        for (uint32_t i = 0; i < length; ++i)
            out[i] = from[i];
    } else if (distance >= 16) {
        CopyBlocks<16>(out, length, distance);
    } else if (distance >= 8) {
        CopyBlocks<8>(out, length, distance);
    } else if (distance == 1) {
        uint64_t run = *from * uint64_t{0x0101010101010101};
        for (uint8_t* block = out; block < out + length; block += 8)
            std::memcpy(block, &run, 8);
    } else {
        // Each byte repeats the one distance back, so also the one a multiple of distance back.
        // With the smallest multiple of at least 8 as the step, after the first step bytes the
        // rest goes in blocks of 8.
        static constexpr uint8_t kStep[8] = {0, 8, 8, 9, 8, 10, 12, 14};
        uint32_t step = kStep[distance];
        uint32_t head = length < step ? length : step;
        for (uint32_t i = 0; i < head; ++i)
            out[i] = from[i];
        if (length > step)
            CopyBlocks<8>(out + step, length - step, step);
    }
}

// Hands the 4096 oldest waiting bytes to the write callback and slides the window down, so
// that they become the history of what follows. Returns the new output position.
uint32_t Flush(ExplodeWorkArea* work, uint32_t position) {
    uint32_t size = kHistorySize;
    work->write(work->window + kHistorySize, &size, work->userParam);
    std::memmove(work->window, work->window + kHistorySize, position - kHistorySize);
    return position - kHistorySize;
}

// Decodes tokens into the window until the end code or the end of the input, writing each
// full block on the way and the rest at the end. Returns the last token value.
template <bool Coded> uint32_t DecodeStream(ExplodeWorkArea* work) {
    uint8_t* window = reinterpret_cast<uint8_t*>(work->window);
    // A damaged stream may reach before the first output byte; it finds zeros there.
    std::memset(window, 0, kHistorySize);
    uint32_t position = kHistorySize;
    BitReader in(work);
    uint32_t token;
    for (;;) {
        uint32_t distance = 0;
        if (in.Refill<kHeadNeed>()) {
            token = ReadToken<false, Coded>(work, in);
            if (token >= 256 && token < kTokenEnd) {
                if (kWholeTokens || in.Refill<kDistanceNeed>()) {
                    distance = ReadDistance<false>(work, in, token - 254);
                } else {
                    distance = ReadDistance<true>(work, in, token - 254);
                    if (distance == 0)
                        token = kTokenError;
                }
            }
        } else {
            token = ReadToken<true, Coded>(work, in);
            if (token >= 256 && token < kTokenEnd) {
                distance = ReadDistance<true>(work, in, token - 254);
                if (distance == 0)
                    token = kTokenError;
            }
        }
        if (token < 256) {
            window[position++] = static_cast<uint8_t>(token);
        } else if (token < kTokenEnd) {
            uint32_t length = token - 254;
            CopyMatch(window, position, length, distance);
            position += length;
        } else {
            break;
        }
        if (position >= kFlushPosition)
            position = Flush(work, position);
    }
    in.Store();
    work->outputPosition = position;
    uint32_t size = position - kHistorySize;
    work->write(work->window + kHistorySize, &size, work->userParam);
    return token;
}

} // namespace

int Explode(ExplodeRead read, ExplodeWrite write, ExplodeWorkArea* work, void* userParam) {
    work->read = read;
    work->write = write;
    work->userParam = userParam;
    work->inputPosition = kExplodeInputSize; // the size word of the first read
    uint32_t count = read(work->input, &work->inputPosition, userParam);
    // A callback that claims more than the buffer holds gets only the buffer read.
    work->inputCount = count > kExplodeInputSize ? kExplodeInputSize : count;
    if (work->inputCount <= 4)
        return kExplodeTooShort;

    const uint8_t* header = reinterpret_cast<const uint8_t*>(work->input);
    work->literalMode = header[0];
    work->dictionaryBits = header[1];
    work->bitBuffer = header[2];
    work->spareBits = 0;
    work->inputPosition = 3;
    if (work->dictionaryBits < 4 || work->dictionaryBits > 6)
        return kExplodeBadDictionary;
    work->dictionaryMask = (1u << work->dictionaryBits) - 1;
    if (work->literalMode == 1) {
        std::memcpy(work->literalResidual, codes::kLiteralBits, sizeof work->literalResidual);
        BuildLiteralTables(work);
    } else if (work->literalMode != 0) {
        return kExplodeBadLiteralMode;
    }

    std::memcpy(work->lengthLengths, codes::kLengthBits, sizeof work->lengthLengths);
    BuildCodeTable(codes::kLengthSymbols, work->lengthLengths, codes::kLengthCodes.data(),
                   work->lengthDecode);
    std::memcpy(work->lengthExtraBits, codes::kLengthExtraBits, sizeof work->lengthExtraBits);
    std::memcpy(work->lengthBases, codes::kLengthBase, sizeof work->lengthBases);
    std::memcpy(work->distanceLengths, codes::kDistanceBits, sizeof work->distanceLengths);
    BuildCodeTable(codes::kDistanceSymbols, work->distanceLengths, codes::kDistanceCodes.data(),
                   work->distanceDecode);

    uint32_t last = work->literalMode == 1 ? DecodeStream<true>(work) : DecodeStream<false>(work);
    return last == kTokenError ? kExplodeTruncated : kExplodeOk;
}
