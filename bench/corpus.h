// corpus.h - the files a benchmark runs over, read into memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Corpus {
    std::vector<std::string> names;                // relative paths, in sorted order
    std::vector<std::vector<unsigned char>> files; // their bytes
    size_t skipped = 0;                            // files of 2 GiB or more, left out
    uint64_t totalBytes = 0;
};

// Every regular file below dir, at any depth. Returns false with a message in *error when
// the directory cannot be read.
bool LoadCorpus(const std::string& dir, Corpus* corpus, std::string* error);

// Files of every kind the test data generator makes, mebibytes in all.
Corpus GeneratedCorpus(size_t mebibytes);
