// explode.h - decompression of one implode stream through read and write callbacks.
//
// Explode pulls compressed bytes in blocks of at most 2048 and hands decoded bytes out in
// blocks of exactly 4096, then one final shorter block. All its state lives in the caller's
// work area; it allocates nothing and keeps nothing in global storage.
#pragma once

#include <cstdint>

// Returns the number of bytes placed at the start of buffer (1..*size), or 0 for no more input.
using ExplodeRead = uint32_t (*)(char* buffer, uint32_t* size, void* param);
// Receives *size (0..4096) decoded bytes; a failure to write is the callback's to record.
using ExplodeWrite = void (*)(char* buffer, uint32_t* size, void* param);

enum ExplodeResult : int {
    kExplodeOk = 0,             // the end code was decoded; all output written
    kExplodeBadDictionary = 1,  // byte 1 is not 4, 5 or 6
    kExplodeBadLiteralMode = 2, // byte 0 is neither 0 nor 1
    kExplodeTooShort = 3,       // the first read delivered 4 bytes or fewer
    kExplodeTruncated = 4,      // the input ended before the end code
};

constexpr int kExplodeWindowSize = 8709; // 4096 history + 4096 pending + a 518-byte match - 1
constexpr int kExplodeInputSize = 2048;

// The caller's storage for one call of Explode; nothing in it needs to survive between calls.
struct ExplodeWorkArea {
    uint32_t literalMode;    // byte 0: 0 raw literals, 1 coded literals
    uint32_t outputPosition; // next free byte of the window, 4096..8191 between tokens
    uint32_t dictionaryBits; // byte 1: k, the low bits of a distance of a match longer than 2
    uint32_t dictionaryMask; // 2^k - 1
    // The bit reader's state on entry to decoding and when it stops: the unconsumed bits (the
    // next one in bit 0; only the low 32 are kept here), and how many valid bits it holds
    // beyond its 8 look-ahead bits. While decoding the reader keeps them in registers.
    uint32_t bitBuffer;
    uint32_t spareBits;
    uint32_t inputPosition; // next unread byte of input; also the size word handed to a read
    uint32_t inputCount;    // bytes the last read placed in input
    void* userParam;
    ExplodeRead read;
    ExplodeWrite write;
    char window[kExplodeWindowSize];
    char input[kExplodeInputSize];
    uint8_t distanceDecode[256];
    uint8_t lengthDecode[256];
    uint8_t literalDecode[256];
    uint8_t literalAfter4[256];
    uint8_t literalAfter6[128];
    uint8_t literalAfter8[256];
    uint8_t literalResidual[256];
    uint8_t distanceLengths[64];
    uint8_t lengthLengths[16];
    uint8_t lengthExtraBits[16];
    uint16_t lengthBases[16];
};

int Explode(ExplodeRead read, ExplodeWrite write, ExplodeWorkArea* work, void* userParam);
