// test_data.h - seeded generators of test and benchmark data that look like what ships.
//
// The same kind, size and seed always give the same bytes, on every platform, so a failing
// case can be named by its three parameters and replayed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class DataKind {
    Text,   // English-like prose: words of a small vocabulary, punctuation, line breaks
    Binary, // executable-like: repeated instruction patterns, small integers, zero padding
    Runs,   // runs of one byte, from 1 to more than the longest match
    Random, // uniform bytes: incompressible
    Mixed,  // pieces of all of the above, one after another
};

constexpr DataKind kAllDataKinds[] = {DataKind::Text, DataKind::Binary, DataKind::Runs,
                                      DataKind::Random, DataKind::Mixed};

const char* DataKindName(DataKind kind);

std::vector<unsigned char> MakeTestData(DataKind kind, size_t size, uint64_t seed);

// A small, fast generator (splitmix64) whose sequence is fixed by its seed.
class TestRandom {
  public:
    explicit TestRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // Uniform in [0, bound); bound > 0.
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>((Next() >> 32) * bound >> 32); }

  private:
    uint64_t state_;
};
