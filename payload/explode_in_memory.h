// explode_in_memory.h - Explode over an implode stream that is held in memory.
//
// The stream is handed to Explode as the setup program reads an entry from its file: each
// read gets as many bytes as it asks for (at most 2048), or what is left. The decoded blocks
// are appended to a byte string, copied into a buffer of fixed size, or compared with the
// bytes they must equal; the builder, the tests, the fuzz targets and the benchmark all run
// Explode this way, so its callbacks are written once.
#pragma once

#include <cstddef>
#include <vector>

struct ExplodeWorkArea;

// What one run did.
struct MemoryExplodeResult {
    int result;          // Explode's result (ExplodeResult)
    size_t unread;       // bytes of the stream that no read asked for
    size_t written;      // decoded bytes taken: appended, copied, or found equal
    size_t largestWrite; // the largest block a single write handed out
    bool refused;        // a block did not fit the buffer, or differed from the expected bytes;
                         // it and every block behind it were dropped
};

// Appends the decoded bytes to *output.
MemoryExplodeResult ExplodeAppending(const unsigned char* stream, size_t streamSize,
                                     ExplodeWorkArea* work, std::vector<unsigned char>* output);

// Copies the decoded bytes to out[0..capacity).
MemoryExplodeResult ExplodeInto(const unsigned char* stream, size_t streamSize,
                                ExplodeWorkArea* work, unsigned char* out, size_t capacity);

// Compares the decoded bytes with expected[0..expectedSize) and keeps none of them.
MemoryExplodeResult ExplodeComparing(const unsigned char* stream, size_t streamSize,
                                     ExplodeWorkArea* work, const unsigned char* expected,
                                     size_t expectedSize);

// True when the stream explodes to exactly expected[0..expectedSize) and ends at its last byte.
bool ExplodesTo(const unsigned char* stream, size_t streamSize, ExplodeWorkArea* work,
                const unsigned char* expected, size_t expectedSize);
