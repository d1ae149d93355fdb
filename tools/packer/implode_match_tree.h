// implode_match_tree.h - a binary-tree match finder over the positions inside the window.
//
// Every position that shares its first two bytes with others sits in one tree per byte pair,
// ordered by the bytes that follow it, and newer positions sit above older ones. Inserting a
// position walks down from the newest: the nearest position that agrees on at least n bytes
// lies on that walk for every n, so recording each new longest match yields, for every
// length, the nearest distance that reaches it. Since a nearer distance never costs more
// bits, those are the only distances the optimal parse needs. Hash chains would have to visit
// every position of the window to promise the same.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "tools/packer/implode_stream.h"

namespace implode {

struct TreeMatch {
    uint16_t len;
    uint16_t dist;
};

class MatchTree {
  public:
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    // niceLength: a match this long ends a walk, and the older position drops out of the tree
    // in favour of the new one. maxDepth bounds the nodes visited per walk.
    MatchTree(const uint8_t* data, size_t size, int dictionaryBits, unsigned niceLength,
              unsigned maxDepth)
        : data_(data), size_(static_cast<uint32_t>(size)),
          window_(static_cast<uint32_t>(MaxDistance(dictionaryBits))), nice_(niceLength),
          maxDepth_(maxDepth), head_(new uint32_t[1 << 16]), children_(new uint32_t[2 * kSlots]) {
        std::fill_n(head_.get(), 1 << 16, kNone);
    }

    // Largest number of matches that one Find records.
    unsigned MaxMatches() const { return maxDepth_; }

    // Inserts pos and writes its matches to out, by increasing length and distance; returns
    // how many. Positions must be inserted in order, each exactly once (Find or Skip).
    unsigned Find(uint32_t pos, TreeMatch* out) { return Walk<true>(pos, out); }
    void Skip(uint32_t pos) { Walk<false>(pos, nullptr); }

  private:
    // Slots for 2 x 4096 positions: every position within the window keeps its own slot.
    static constexpr uint32_t kSlots = 2 * kMaxWindow;

    uint32_t& Smaller(uint32_t pos) { return children_[2 * (pos & (kSlots - 1))]; }
    uint32_t& Larger(uint32_t pos) { return children_[2 * (pos & (kSlots - 1)) + 1]; }

    template <bool kRecord> unsigned Walk(uint32_t pos, TreeMatch* out) {
        uint32_t remaining = size_ - pos;
        if (remaining < 2)
            return 0; // no pair to file it under; nothing can match here either
        const uint8_t* here = data_ + pos;
        uint32_t limit = std::min<uint32_t>(codes::kMaxMatch, remaining);
        uint32_t nice = std::min(nice_, limit);
        uint32_t& root = head_[here[0] | here[1] << 8];
        uint32_t node = root;
        root = pos;
        // The new position becomes the root; older ones are split to either side of it.
        uint32_t* smallerSlot = &Smaller(pos);
        uint32_t* largerSlot = &Larger(pos);
        // Everything still below the walk lies between the last nodes put to either side,
        // so it agrees with pos on at least the shorter of their two common lengths.
        unsigned smallerLen = 2, largerLen = 2;
        unsigned bestLen = 1;
        unsigned found = 0;
        for (unsigned depth = maxDepth_; node != kNone && pos - node <= window_ && depth > 0;
             --depth) {
            const uint8_t* there = data_ + node;
            unsigned len = MatchLength(there, here, std::min(smallerLen, largerLen), limit);
            if (len > bestLen) {
                bestLen = len;
                if (kRecord)
                    out[found++] = {static_cast<uint16_t>(len), static_cast<uint16_t>(pos - node)};
            }
            if (len >= nice) {
                // The same bytes as far as they are compared: pos takes the old node's place.
                *smallerSlot = Smaller(node);
                *largerSlot = Larger(node);
                return found;
            }
            if (there[len] < here[len]) {
                *smallerSlot = node;
                smallerSlot = &Larger(node);
                node = *smallerSlot;
                smallerLen = len;
            } else {
                *largerSlot = node;
                largerSlot = &Smaller(node);
                node = *largerSlot;
                largerLen = len;
            }
        }
        *smallerSlot = kNone;
        *largerSlot = kNone;
        return found;
    }

    const uint8_t* data_;
    uint32_t size_;
    uint32_t window_;
    uint32_t nice_;
    uint32_t maxDepth_;
    std::unique_ptr<uint32_t[]> head_;     // newest position of each byte pair: a tree's root
    std::unique_ptr<uint32_t[]> children_; // per slot: smaller, larger
};

} // namespace implode
