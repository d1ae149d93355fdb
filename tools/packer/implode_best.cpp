// implode_best.cpp - the best parse: an optimal parse of each block, priced by exact bit costs.
//
// The codes are fixed, so a token's price does not depend on the tokens around it and a
// shortest-path search over the positions of a block finds the cheapest stream there is for
// the matches the tree offers: cost[i] is the fewest bits that encode the block's first i
// bytes, and each position relaxes one literal and every length its matches reach.
#include <algorithm>
#include <vector>

#include "tools/packer/implode_match_tree.h"
#include "tools/packer/implode_stream.h"

namespace implode {
namespace {

// Bytes parsed at a time. A match may not cross a block's end, which costs a few bits per
// block; in return the per-position records stay a few megabytes.
constexpr uint32_t kBlockSize = 1 << 18;
// A match this long is taken as it is: the positions it covers get no matches of their own,
// which keeps long runs from costing 518 relaxations per byte.
constexpr unsigned kNiceLength = 258;
constexpr unsigned kMaxDepth = 64;
constexpr uint32_t kInfinite = 0xFFFFFFFF;

// A way to reach a length range from one position: every length up to len, with dist. For a
// length-2 entry, len is 2 and dist is at most 256.
struct Candidate {
    uint16_t len;
    uint16_t dist;
};

class BestParser {
  public:
    BestParser(const uint8_t* data, size_t size, int dictionaryBits)
        : data_(data), tree_(data, size, dictionaryBits, kNiceLength, kMaxDepth),
          distancePrices_(false, dictionaryBits), found_(tree_.MaxMatches()) {}

    // Finds the matches of every position of [start, end) and boils them down to candidates.
    void Collect(uint32_t start, uint32_t end) {
        start_ = start;
        end_ = end;
        candidates_.clear();
        first_.assign(1, 0);
        uint32_t skip = 0;
        for (uint32_t pos = start; pos < end; ++pos) {
            if (skip > 0) {
                tree_.Skip(pos);
                --skip;
            } else {
                unsigned count = tree_.Find(pos, found_.data());
                Reduce(found_.data(), count);
                if (count > 0 && found_[count - 1].len >= kNiceLength)
                    skip = std::min<uint32_t>(found_[count - 1].len - 1, end - pos - 1);
            }
            first_.push_back(static_cast<uint32_t>(candidates_.size()));
        }
    }

    // The cheapest parse of the block under prices, then its tokens to writer.
    void Parse(const Prices& prices, TokenWriter* writer) {
        uint32_t count = end_ - start_;
        cost_.assign(count + 1, kInfinite);
        edgeLen_.resize(count + 1);
        edgeDist_.resize(count + 1);
        cost_[0] = 0;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t base = cost_[i];
            Relax(i + 1, base + prices.literal[data_[start_ + i]], 1, 0);
            uint32_t room = count - i;
            unsigned reached = 2; // lengths up to here are done
            for (uint32_t c = first_[i]; c < first_[i + 1]; ++c) {
                Candidate candidate = candidates_[c];
                if (candidate.len == 2) {
                    if (room >= 2)
                        Relax(i + 2, base + prices.Match(2, candidate.dist), 2, candidate.dist);
                    continue;
                }
                uint32_t distBase = base + prices.distance[candidate.dist];
                unsigned last = std::min<uint32_t>(candidate.len, room);
                for (unsigned len = reached + 1; len <= last; ++len)
                    Relax(i + len, distBase + prices.length[len], len, candidate.dist);
                reached = std::max(reached, last);
            }
        }
        // Walk back from the end, then write the tokens front to back.
        path_.clear();
        for (uint32_t at = count; at > 0; at -= edgeLen_[at])
            path_.push_back(at);
        for (auto step = path_.rbegin(); step != path_.rend(); ++step) {
            uint32_t at = *step;
            if (edgeLen_[at] == 1)
                writer->Literal(data_[start_ + at - 1]);
            else
                writer->Match(edgeLen_[at], edgeDist_[at]);
        }
    }

  private:
    void Relax(uint32_t to, uint32_t cost, unsigned len, unsigned dist) {
        if (cost < cost_[to]) {
            cost_[to] = cost;
            edgeLen_[to] = static_cast<uint16_t>(len);
            edgeDist_[to] = static_cast<uint16_t>(dist);
        }
    }

    // The tree's matches come by increasing length and distance. A length-2 match is usable
    // within 256 bytes; for the longer ones only the price class of the distance matters, so
    // runs of matches in one class become the longest of them.
    void Reduce(const TreeMatch* matches, unsigned count) {
        if (count == 0)
            return;
        if (matches[0].dist <= kMaxDistance2)
            candidates_.push_back({2, matches[0].dist});
        int lastPrice = -1;
        for (unsigned i = 0; i < count; ++i) {
            if (matches[i].len < 3)
                continue;
            int price = distancePrices_.distance[matches[i].dist];
            if (price == lastPrice)
                candidates_.back() = {matches[i].len, matches[i].dist};
            else
                candidates_.push_back({matches[i].len, matches[i].dist});
            lastPrice = price;
        }
    }

    const uint8_t* data_;
    MatchTree tree_;
    Prices distancePrices_; // distance prices do not depend on the literal mode
    std::vector<TreeMatch> found_;
    uint32_t start_ = 0, end_ = 0;
    std::vector<Candidate> candidates_;
    std::vector<uint32_t> first_; // candidates of block position i: [first_[i], first_[i + 1])
    std::vector<uint32_t> cost_;
    std::vector<uint16_t> edgeLen_; // the last token of the cheapest way to each position
    std::vector<uint16_t> edgeDist_;
    std::vector<uint32_t> path_;
};

} // namespace

void ParseBest(const uint8_t* data, size_t size, int dictionaryBits, const Prices* const* prices,
               TokenWriter* const* writers, int count) {
    BestParser parser(data, size, dictionaryBits);
    uint32_t total = static_cast<uint32_t>(size);
    for (uint32_t start = 0; start < total;) {
        uint32_t end = total - start > kBlockSize ? start + kBlockSize : total;
        parser.Collect(start, end);
        for (int i = 0; i < count; ++i)
            parser.Parse(*prices[i], writers[i]);
        start = end;
    }
}

} // namespace implode
