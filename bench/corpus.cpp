// corpus.cpp - reads a directory tree, or generates data, into a benchmark corpus.
#include "bench/corpus.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "tests/support/test_data.h"

namespace fs = std::filesystem;

namespace {

// The archive's sizes are signed 32-bit, and Implode refuses inputs this large.
constexpr uintmax_t kLargestFile = (uintmax_t{1} << 31) - 1;

} // namespace

bool LoadCorpus(const std::string& dir, Corpus* corpus, std::string* error) {
    std::error_code code;
    std::vector<fs::path> paths;
    fs::recursive_directory_iterator walk(dir, fs::directory_options::skip_permission_denied, code);
    for (; !code && walk != fs::recursive_directory_iterator(); walk.increment(code)) {
        if (!walk->is_regular_file(code))
            continue;
        if (walk->file_size(code) > kLargestFile) {
            ++corpus->skipped;
            continue;
        }
        paths.push_back(walk->path());
    }
    if (code) {
        *error = dir + ": " + code.message();
        return false;
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *error = path.string() + ": cannot be read";
            return false;
        }
        corpus->files.emplace_back(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
        corpus->names.push_back(fs::relative(path, dir).string());
        corpus->totalBytes += corpus->files.back().size();
    }
    return true;
}

Corpus GeneratedCorpus(size_t mebibytes) {
    Corpus corpus;
    // Files of 64 KiB to 1 MiB, the kinds in turn.
    uint64_t seed = 1;
    size_t left = mebibytes << 20;
    while (left > 0) {
        for (DataKind kind : kAllDataKinds) {
            size_t size = std::min(left, size_t{64 * 1024} << (seed % 5));
            if (size == 0)
                break;
            corpus.files.push_back(MakeTestData(kind, size, seed));
            corpus.names.push_back(std::string(DataKindName(kind)) + "-" + std::to_string(seed));
            corpus.totalBytes += size;
            left -= size;
            ++seed;
        }
    }
    return corpus;
}
