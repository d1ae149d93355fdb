// codec_bench.cpp - the codec benchmark: Explode against zlib, libdeflate and memcpy, and both
// implode levels, over one corpus, printed as one table (and optionally as JSON).
//
// Google Benchmark runs one benchmark per function, each iteration over the whole corpus; a
// reporter keeps the fastest repetition of each, and main prints the table from those.
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/codecs.h"
#include "bench/corpus.h"
#include "tools/packer/implode.h"

namespace {

constexpr int kRepetitions = 3;
constexpr double kMinSeconds = 0.5;
constexpr double kMegabyte = 1e6;

const char kUsage[] =
    "usage: lxv_bench (--corpus DIR | --generated MIB) [--json FILE] [--benchmark_...]\n"
    "  --corpus DIR     every file below DIR (files of 2 GiB or more are skipped)\n"
    "  --generated MIB  that many mebibytes of the test data generator's kinds\n"
    "  --json FILE      also write the figures as one JSON object\n";

// The corpus and every compressed form of it, made once before timing.
struct Prepared {
    Corpus corpus;
    std::vector<Bytes> implodeBest, zlib9, libdeflate12;
    uint64_t implodeFastSize = 0, implodeBestSize = 0, zlib9Size = 0, libdeflate12Size = 0,
             zlibFixedSize = 0;
    size_t largest = 0;
};

const ImplodeOptions kFast{ImplodeLevel::Fast, LiteralMode::Auto, 6};
const ImplodeOptions kBest{ImplodeLevel::Best, LiteralMode::Auto, 6};

// Compresses every file every way and checks that each decompressor gives the file back, so
// that the timed loops only measure work known to be right.
bool Prepare(Prepared* prepared) {
    ExplodeCodec explode;
    ZlibCodec zlib;
    LibdeflateCodec libdeflate(12);
    const Corpus& corpus = prepared->corpus;
    for (size_t i = 0; i < corpus.files.size(); ++i) {
        const Bytes& file = corpus.files[i];
        Bytes fast, best;
        bool explodable = Implode(file.data(), file.size(), kBest, &best);
        Implode(file.data(), file.size(), kFast, &fast);
        Bytes zlib9 = ZlibCodec::Compress(file, 9, 15, Z_DEFAULT_STRATEGY);
        Bytes libdeflate12 = libdeflate.Compress(file);
        prepared->implodeFastSize += fast.size();
        prepared->implodeBestSize += best.size();
        prepared->zlib9Size += zlib9.size();
        prepared->libdeflate12Size += libdeflate12.size();
        prepared->zlibFixedSize += ZlibCodec::Compress(file, 9, 12, Z_FIXED).size();
        if (file.size() > prepared->largest)
            prepared->largest = file.size();

        Bytes out(file.size());
        const char* failed = nullptr;
        if (explodable && !explode.Decompress(best, out.data(), out.size()))
            failed = "Explode";
        else if (explodable && out != file)
            failed = "Explode (content)";
        else if (!zlib.Decompress(zlib9, out.data(), out.size()) || out != file)
            failed = "zlib inflate";
        else if (!libdeflate.Decompress(libdeflate12, out.data(), out.size()) || out != file)
            failed = "libdeflate";
        if (failed) {
            std::fprintf(stderr, "lxv_bench: %s does not give back %s\n", failed,
                         corpus.names[i].c_str());
            return false;
        }
        prepared->implodeBest.push_back(std::move(best));
        prepared->zlib9.push_back(std::move(zlib9));
        prepared->libdeflate12.push_back(std::move(libdeflate12));
    }
    return true;
}

// Keeps, per benchmark, the fastest repetition's seconds per iteration.
class FastestReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const std::string& name = run.run_name.function_name;
            if (run.error_occurred) {
                errors.push_back(name + ": " + run.error_message);
                continue;
            }
            double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            auto found = fastest.find(name);
            if (found == fastest.end() || seconds < found->second)
                fastest[name] = seconds;
        }
    }

    std::map<std::string, double> fastest;
    std::vector<std::string> errors;
};

// A decompressor over every non-empty file, output into one buffer of the largest size.
template <class Decompress>
void RegisterDecompression(const char* name, const Prepared& prepared, Decompress decompress) {
    benchmark::RegisterBenchmark(
        name,
        [&prepared, decompress](benchmark::State& state) mutable {
            const Corpus& corpus = prepared.corpus;
            Bytes out(prepared.largest);
            for (auto _ : state) {
                for (size_t i = 0; i < corpus.files.size(); ++i) {
                    size_t size = corpus.files[i].size();
                    if (size > 0 && !decompress(i, out.data(), size)) {
                        state.SkipWithError("decompression failed");
                        return;
                    }
                }
                benchmark::DoNotOptimize(out.data());
                benchmark::ClobberMemory();
            }
            state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
        })
        ->UseRealTime()
        ->MinTime(kMinSeconds)
        ->Repetitions(kRepetitions);
}

void RegisterCompression(const char* name, const Prepared& prepared, ImplodeOptions options) {
    benchmark::RegisterBenchmark(
        name,
        [&prepared, options](benchmark::State& state) {
            const Corpus& corpus = prepared.corpus;
            Bytes stream;
            for (auto _ : state) {
                for (const Bytes& file : corpus.files) {
                    Implode(file.data(), file.size(), options, &stream);
                    benchmark::DoNotOptimize(stream.data());
                }
            }
            state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
        })
        ->UseRealTime()
        ->MinTime(kMinSeconds)
        ->Repetitions(kRepetitions);
}

struct Figures {
    double explode, zlibInflate, libdeflate, memcpy, implodeFast, implodeBest; // MB/s
    double fastRatio, bestRatio, zlib9Ratio, libdeflate12Ratio, zlibFixedRatio;
};

void PrintTable(const char* source, const Prepared& prepared, const Figures& f) {
    const Corpus& corpus = prepared.corpus;
    std::printf("Codec benchmark: %zu files, %.2f MB, %s", corpus.files.size(),
                static_cast<double>(corpus.totalBytes) / kMegabyte, source);
    if (corpus.skipped > 0)
        std::printf(" (%zu files of 2 GiB or more skipped)", corpus.skipped);
    std::printf("\nMB = 10^6 bytes; fastest of %d runs; sizes as a share of the original\n\n",
                kRepetitions);
    std::printf("%-34s %12s %10s   %s\n", "codec", "MB/s", "size", "stream");
    std::printf("%-34s %12s %10s   %s\n", "----------------------------------", "------------",
                "----------", "------------------------------------");
    auto row = [](const char* name, double speed, double ratio, const char* note) {
        char speedText[32] = "-", ratioText[32] = "-";
        if (speed > 0)
            std::snprintf(speedText, sizeof speedText, "%.1f", speed);
        if (ratio > 0)
            std::snprintf(ratioText, sizeof ratioText, "%.2f %%", ratio * 100);
        std::printf("%-34s %12s %10s   %s\n", name, speedText, ratioText, note);
    };
    row("Explode (callbacks 2048/4096)", f.explode, f.bestRatio,
        "implode best, auto literals, 6 bits; MB/s of output");
    row("zlib inflate", f.zlibInflate, f.zlib9Ratio, "zlib 9 raw deflate; MB/s of output");
    row("libdeflate decompress", f.libdeflate, f.libdeflate12Ratio,
        "libdeflate 12 raw deflate; MB/s of output");
    row("memcpy", f.memcpy, 1.0, "the ceiling");
    row("implode fast", f.implodeFast, f.fastRatio, "auto literals, 6 bits; MB/s of input");
    row("implode best", f.implodeBest, f.bestRatio, "auto literals, 6 bits; MB/s of input");
    row("zlib 9", 0, f.zlib9Ratio, "window 32 KiB, dynamic codes");
    row("libdeflate 12", 0, f.libdeflate12Ratio, "window 32 KiB, dynamic codes");
    row("zlib 9, 4 KiB window, fixed codes", 0, f.zlibFixedRatio, "windowBits -12, Z_FIXED");
    std::printf("\nExplode / zlib inflate: %.2f   Explode / libdeflate: %.2f\n",
                f.explode / f.zlibInflate, f.explode / f.libdeflate);
    std::printf("implode best / zlib 9 4 KiB fixed: %.3f   implode best / implode fast: %.3f\n",
                f.bestRatio / f.zlibFixedRatio, f.bestRatio / f.fastRatio);
}

bool WriteJson(const std::string& file, const Prepared& prepared, const Figures& f) {
    FILE* out = std::fopen(file.c_str(), "w");
    if (!out)
        return false;
    std::fprintf(out,
                 "{\"files\": %zu, \"bytes\": %llu, \"explode_MBps\": %.3f, "
                 "\"zlib_inflate_MBps\": %.3f, \"libdeflate_MBps\": %.3f, \"memcpy_MBps\": %.3f, "
                 "\"implode_fast_ratio\": %.5f, \"implode_fast_MBps\": %.3f, "
                 "\"implode_best_ratio\": %.5f, \"implode_best_MBps\": %.3f, "
                 "\"zlib9_ratio\": %.5f, \"libdeflate12_ratio\": %.5f, "
                 "\"zlib9_w12_fixed_ratio\": %.5f, \"explode_vs_zlib\": %.4f, "
                 "\"explode_vs_libdeflate\": %.4f}\n",
                 prepared.corpus.files.size(),
                 static_cast<unsigned long long>(prepared.corpus.totalBytes), f.explode,
                 f.zlibInflate, f.libdeflate, f.memcpy, f.fastRatio, f.implodeFast, f.bestRatio,
                 f.implodeBest, f.zlib9Ratio, f.libdeflate12Ratio, f.zlibFixedRatio,
                 f.explode / f.zlibInflate, f.explode / f.libdeflate);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string corpusDir, jsonFile;
    long generated = 0;
    std::vector<char*> benchmarkArgs{argv[0]};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--corpus" && i + 1 < argc) {
            corpusDir = argv[++i];
        } else if (arg == "--generated" && i + 1 < argc) {
            generated = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--json" && i + 1 < argc) {
            jsonFile = argv[++i];
        } else if (arg.rfind("--benchmark_", 0) == 0) {
            benchmarkArgs.push_back(argv[i]);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (corpusDir.empty() == (generated <= 0)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    static Prepared prepared; // the benchmarks refer to it until they are done
    std::string source;
    if (generated > 0) {
        prepared.corpus = GeneratedCorpus(static_cast<size_t>(generated));
        source = "generated test data";
    } else {
        std::string error;
        if (!LoadCorpus(corpusDir, &prepared.corpus, &error)) {
            std::fprintf(stderr, "lxv_bench: %s\n", error.c_str());
            return 1;
        }
        source = corpusDir;
    }
    if (prepared.corpus.totalBytes == 0) {
        std::fprintf(stderr, "lxv_bench: %s holds no data\n", source.c_str());
        return 1;
    }
    if (!Prepare(&prepared))
        return 1;

    ExplodeCodec explode;
    ZlibCodec zlib;
    LibdeflateCodec libdeflate(12);
    RegisterDecompression("explode", prepared, [&](size_t i, unsigned char* out, size_t size) {
        return explode.Decompress(prepared.implodeBest[i], out, size);
    });
    RegisterDecompression("zlib_inflate", prepared, [&](size_t i, unsigned char* out, size_t size) {
        return zlib.Decompress(prepared.zlib9[i], out, size);
    });
    RegisterDecompression("libdeflate", prepared, [&](size_t i, unsigned char* out, size_t size) {
        return libdeflate.Decompress(prepared.libdeflate12[i], out, size);
    });
    RegisterDecompression("memcpy", prepared, [&](size_t i, unsigned char* out, size_t size) {
        std::memcpy(out, prepared.corpus.files[i].data(), size);
        return true;
    });
    RegisterCompression("implode_fast", prepared, kFast);
    RegisterCompression("implode_best", prepared, kBest);

    int benchmarkArgc = static_cast<int>(benchmarkArgs.size());
    benchmark::Initialize(&benchmarkArgc, benchmarkArgs.data());
    FastestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const std::string& error : reporter.errors)
        std::fprintf(stderr, "lxv_bench: %s\n", error.c_str());
    const char* names[] = {"explode", "zlib_inflate", "libdeflate",
                           "memcpy",  "implode_fast", "implode_best"};
    double speed[6];
    for (int i = 0; i < 6; ++i) {
        auto found = reporter.fastest.find(names[i]);
        if (found == reporter.fastest.end()) {
            std::fprintf(stderr, "lxv_bench: no timing for %s\n", names[i]);
            return 1;
        }
        speed[i] = static_cast<double>(prepared.corpus.totalBytes) / found->second / kMegabyte;
    }
    double total = static_cast<double>(prepared.corpus.totalBytes);
    Figures figures{speed[0],
                    speed[1],
                    speed[2],
                    speed[3],
                    speed[4],
                    speed[5],
                    static_cast<double>(prepared.implodeFastSize) / total,
                    static_cast<double>(prepared.implodeBestSize) / total,
                    static_cast<double>(prepared.zlib9Size) / total,
                    static_cast<double>(prepared.libdeflate12Size) / total,
                    static_cast<double>(prepared.zlibFixedSize) / total};
    PrintTable(source.c_str(), prepared, figures);
    if (!jsonFile.empty() && !WriteJson(jsonFile, prepared, figures)) {
        std::fprintf(stderr, "lxv_bench: cannot write %s\n", jsonFile.c_str());
        return 1;
    }
    return 0;
}
