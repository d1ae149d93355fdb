// token_scan.h - reads an implode stream token by token, bit by bit, to check what Implode
// wrote: which tokens, how far they reach, and whether the end code fills the last byte.
//
// It shares nothing with Explode but the code tables, so a fault that the two would agree
// on (a distance reaching before the first byte, which Explode does not reject) shows here.
#pragma once

#include <cstddef>
#include <vector>

struct StreamScan {
    bool headerValid = false;
    int literalMode = -1;
    int dictionaryBits = 0;
    bool ended = false;       // the end code was read
    size_t bytesAfterEnd = 0; // whole bytes that follow the one holding the end code
    bool paddingZero = true;  // the bits after the end code in its byte are zero
    size_t outputSize = 0;    // bytes the tokens decode to
    size_t literals = 0;
    size_t matches = 0;
    size_t length2Matches = 0;
    unsigned longestLength = 0;
    size_t farthestLength2 = 0; // farthest distance of a length-2 match
    size_t farthestMatch = 0;   // farthest distance of a longer match
    bool reachesBeforeStart = false;
    std::vector<unsigned char> output; // the decoded bytes, when asked for
};

StreamScan ScanStream(const std::vector<unsigned char>& stream, bool decode = false);
