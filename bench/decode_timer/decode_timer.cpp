// decode_timer.cpp - Explode and zlib's inflate over one corpus, timed where the setup program
// runs: built for 32-bit and 64-bit Windows and run under Wine by scripts/bench.
//
// usage: decode_timer DIR     prints one JSON object: {"explode_MBps": ..., "zlib_inflate_MBps":
// ...} MB/s are of output, 10^6 bytes, the fastest of several passes over the whole corpus,
// the two decoders taking turns.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <zlib.h>

#include "bench/codecs.h"
#include "bench/corpus.h"
#include "tools/packer/implode.h"

namespace {

constexpr int kPasses = 7;
const ImplodeOptions kBest{ImplodeLevel::Best, LiteralMode::Auto, 6};

// One pass of decode over every file, in MB/s of output; 0 on a failure.
template <class Decode> double OnePass(const Corpus& corpus, Bytes* out, Decode decode) {
    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < corpus.files.size(); ++i)
        if (!corpus.files[i].empty() && !decode(i, out->data(), corpus.files[i].size()))
            return 0;
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return static_cast<double>(corpus.totalBytes) / 1e6 / seconds.count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: decode_timer DIR\n");
        return 2;
    }
    Corpus corpus;
    std::string error;
    if (!LoadCorpus(argv[1], &corpus, &error)) {
        std::fprintf(stderr, "decode_timer: %s\n", error.c_str());
        return 1;
    }
    // Every file that implodes is decoded by both; a file that does not (empty) by neither.
    std::vector<Bytes> imploded(corpus.files.size()), deflated(corpus.files.size());
    for (size_t i = 0; i < corpus.files.size(); ++i) {
        Implode(corpus.files[i].data(), corpus.files[i].size(), kBest, &imploded[i]);
        deflated[i] = ZlibCodec::Compress(corpus.files[i], 9, 15, Z_DEFAULT_STRATEGY);
    }
    ExplodeCodec explode;
    ZlibCodec zlib;
    size_t largest = 0;
    for (const Bytes& file : corpus.files)
        largest = file.size() > largest ? file.size() : largest;
    Bytes out(largest);
    // The two decoders take turns, so that a busy machine weighs on both alike; each keeps its
    // fastest pass.
    double explodeSpeed = 0, inflateSpeed = 0;
    for (int pass = 0; pass < kPasses; ++pass) {
        double e = OnePass(corpus, &out, [&](size_t i, unsigned char* to, size_t size) {
            return explode.Decompress(imploded[i], to, size);
        });
        double z = OnePass(corpus, &out, [&](size_t i, unsigned char* to, size_t size) {
            return zlib.Decompress(deflated[i], to, size);
        });
        if (e == 0 || z == 0) {
            explodeSpeed = inflateSpeed = 0;
            break;
        }
        explodeSpeed = e > explodeSpeed ? e : explodeSpeed;
        inflateSpeed = z > inflateSpeed ? z : inflateSpeed;
    }
    if (explodeSpeed == 0 || inflateSpeed == 0) {
        std::fprintf(stderr, "decode_timer: a decoder did not give a file back\n");
        return 1;
    }
    std::printf(
        "{\"files\": %u, \"bytes\": %.0f, \"explode_MBps\": %.3f, \"zlib_inflate_MBps\": %.3f}\n",
        static_cast<unsigned>(corpus.files.size()), static_cast<double>(corpus.totalBytes),
        explodeSpeed, inflateSpeed);
    return 0;
}
