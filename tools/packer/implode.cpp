// implode.cpp - Implode: checks the options, runs a parser per literal mode, keeps the smaller.
#include "tools/packer/implode.h"

#include <utility>

#include "tools/packer/implode_stream.h"

namespace {

// Explode refuses a stream whose first read is this long or shorter.
constexpr size_t kShortestExplodable = 5;

// The literal mode that the fast parser's decisions follow when both streams are made: the
// one that would price every byte of the input lower as a literal.
bool GuessCodedLiterals(const unsigned char* data, size_t size) {
    uint64_t codedBits = 0;
    for (size_t i = 0; i < size; ++i)
        codedBits += codes::kLiteralBits[data[i]];
    return codedBits < uint64_t{8} * size;
}

} // namespace

bool Implode(const unsigned char* data, size_t size, const ImplodeOptions& options,
             std::vector<unsigned char>* stream) {
    stream->clear();
    int bits = options.dictionaryBits;
    if (bits < 4 || bits > implode::kMaxDictionaryBits || size >= kImplodeMaxInput)
        return false;

    // Raw first, so that a tie in Auto keeps raw literals.
    bool coded[2];
    int count = 0;
    if (options.literals != LiteralMode::Coded)
        coded[count++] = false;
    if (options.literals != LiteralMode::Raw)
        coded[count++] = true;

    // Room for raw literals throughout (9 bits a byte), so that the streams seldom move while
    // they grow; coded literals of binary data can take a little more.
    std::vector<unsigned char> outputs[2];
    for (int i = 0; i < count; ++i)
        outputs[i].reserve(size + size / 8 + 16);
    implode::TokenWriter writer0(&outputs[0], coded[0], bits);
    implode::TokenWriter writer1(&outputs[1], count > 1 && coded[1], bits);
    implode::TokenWriter* writers[2] = {&writer0, &writer1};

    if (options.level == ImplodeLevel::Fast) {
        bool guide = count == 1 ? coded[0] : GuessCodedLiterals(data, size);
        implode::Prices prices(guide, bits);
        implode::TokenSink sink{{writers[0], writers[1]}, count};
        implode::ParseFast(data, size, bits, prices, &sink);
    } else {
        implode::Prices prices0(coded[0], bits);
        implode::Prices prices1(count > 1 && coded[1], bits);
        const implode::Prices* prices[2] = {&prices0, &prices1};
        implode::ParseBest(data, size, bits, prices, writers, count);
    }

    int kept = 0;
    for (int i = 0; i < count; ++i) {
        writers[i]->Finish();
        if (outputs[i].size() < outputs[kept].size())
            kept = i;
    }
    *stream = std::move(outputs[kept]);
    // The optimal parse is optimal only over the matches its finder offers; the fast parse
    // costs a tenth of its time, and keeping the smaller makes best never worse than fast.
    if (options.level == ImplodeLevel::Best) {
        ImplodeOptions fastOptions = options;
        fastOptions.level = ImplodeLevel::Fast;
        std::vector<unsigned char> fast;
        Implode(data, size, fastOptions, &fast);
        if (!fast.empty() && fast.size() < stream->size())
            *stream = std::move(fast);
    }
    return stream->size() >= kShortestExplodable;
}
