// implode_fast.cpp - the fast parse: hash chains over 3-byte prefixes, one step of lazy
// evaluation, and length-2 matches from a table of the last position of every byte pair.
#include <algorithm>
#include <memory>

#include "tools/packer/implode_stream.h"

namespace implode {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr int kHashBits = 14;
// Candidates examined per search. The window holds at most 4096 positions, so short chains
// already find most of what a full search would.
constexpr int kMaxChain = 24;
// A match this long ends the search; one this long is taken without looking a byte ahead.
constexpr unsigned kNiceLength = 96;
constexpr unsigned kLazyLength = 48;

struct Match {
    unsigned len;
    unsigned dist;
};

inline uint32_t Hash3(const uint8_t* p) {
    uint32_t value = p[0] | p[1] << 8 | p[2] << 16;
    return (value * 0x9E3779B1u) >> (32 - kHashBits);
}

inline uint32_t Pair(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

class FastParser {
  public:
    FastParser(const uint8_t* data, size_t size, int dictionaryBits, const Prices& prices)
        : data_(data), size_(static_cast<uint32_t>(size)),
          window_(static_cast<uint32_t>(MaxDistance(dictionaryBits))), prices_(prices),
          head_(new uint32_t[1 << kHashBits]), chain_(new uint32_t[2 * kMaxWindow]),
          pairLast_(new uint32_t[1 << 16]) {
        std::fill_n(head_.get(), 1 << kHashBits, kNone);
        std::fill_n(pairLast_.get(), 1 << 16, kNone);
    }

    void Run(TokenSink* sink) {
        uint32_t pos = 0;
        Match current = Find(0);
        while (pos < size_) {
            if (current.len == 0) {
                sink->Literal(data_[pos]);
                ++pos;
                InsertUpTo(pos);
                current = Find(pos);
                continue;
            }
            if (current.len < kLazyLength && pos + 1 < size_) {
                // Would a literal here and the match at the next byte do better?
                InsertUpTo(pos + 1);
                Match next = Find(pos + 1);
                if (next.len > current.len) {
                    sink->Literal(data_[pos]);
                    ++pos;
                    current = next;
                    continue;
                }
            }
            sink->Match(current.len, current.dist);
            pos += current.len;
            InsertUpTo(pos);
            current = Find(pos);
        }
    }

  private:
    // Positions below inserted_ are in the chains and the pair table; Find(pos) wants pos
    // itself not yet inserted, so that it never finds itself.
    void InsertUpTo(uint32_t end) {
        for (; inserted_ < end; ++inserted_) {
            uint32_t pos = inserted_;
            if (size_ - pos >= 3) {
                uint32_t hash = Hash3(data_ + pos);
                chain_[pos & (2 * kMaxWindow - 1)] = head_[hash];
                head_[hash] = pos;
            }
            if (size_ - pos >= 2)
                pairLast_[Pair(data_ + pos)] = pos;
        }
    }

    // The longest match at pos of 3 bytes or more, the nearest of equal ones; failing that a
    // length-2 match when it costs less than its two literals; else none (len 0).
    Match Find(uint32_t pos) {
        Match best{0, 0};
        uint32_t remaining = size_ - pos;
        if (pos >= size_ || remaining < 2)
            return best;
        const uint8_t* here = data_ + pos;
        if (remaining >= 3) {
            unsigned limit = std::min<uint32_t>(codes::kMaxMatch, remaining);
            unsigned bestLen = 2;
            uint32_t candidate = head_[Hash3(here)];
            // The ring of chain links holds 2 x 4096 entries and the window at most 4096, so
            // the link of every position still in the window is intact.
            for (int left = kMaxChain; left > 0 && candidate != kNone && pos - candidate <= window_;
                 --left) {
                const uint8_t* there = data_ + candidate;
                if (there[bestLen] == here[bestLen] && there[0] == here[0] && there[1] == here[1]) {
                    unsigned len = MatchLength(there, here, 2, limit);
                    if (len > bestLen) {
                        bestLen = len;
                        best = {len, pos - candidate};
                        if (len >= kNiceLength || len == limit)
                            break;
                    }
                }
                candidate = chain_[candidate & (2 * kMaxWindow - 1)];
            }
            // A far 3-byte match can cost more than its literals (coded text).
            if (best.len == 3 && prices_.Match(3, best.dist) >= LiteralPrice(here, 3))
                best = {0, 0};
        }
        if (best.len == 0) {
            uint32_t candidate = pairLast_[Pair(here)];
            if (candidate != kNone && pos - candidate <= kMaxDistance2 &&
                prices_.Match(2, pos - candidate) < LiteralPrice(here, 2))
                best = {2, pos - candidate};
        }
        return best;
    }

    unsigned LiteralPrice(const uint8_t* bytes, unsigned count) const {
        unsigned price = 0;
        for (unsigned i = 0; i < count; ++i)
            price += prices_.literal[bytes[i]];
        return price;
    }

    const uint8_t* data_;
    uint32_t size_;
    uint32_t window_;
    const Prices& prices_;
    uint32_t inserted_ = 0;
    std::unique_ptr<uint32_t[]> head_;     // newest position of each 3-byte hash
    std::unique_ptr<uint32_t[]> chain_;    // per position, the previous one of the same hash
    std::unique_ptr<uint32_t[]> pairLast_; // newest position of each byte pair
};

} // namespace

void ParseFast(const uint8_t* data, size_t size, int dictionaryBits, const Prices& guide,
               TokenSink* sink) {
    FastParser parser(data, size, dictionaryBits, guide);
    parser.Run(sink);
}

} // namespace implode
