// implode.h - compression of a buffer into one implode stream, the inverse of Explode.
//
// The builder tool and the tests use it; the setup program itself only explodes. A stream is
// the two header bytes (literal mode, dictionary bits), the tokens and the end code. The
// output depends only on the input and the options, so builds are reproducible.
#pragma once

#include <cstddef>
#include <vector>

enum class ImplodeLevel {
    Fast, // hash chains with one step of lazy evaluation
    Best, // a binary-tree match finder and an optimal parse priced by the exact bit costs
};

enum class LiteralMode {
    Raw,   // every literal is 8 plain bits
    Coded, // every literal is sent with the fixed literal code (good for text)
    Auto,  // both streams are made and the smaller is kept (raw when they tie)
};

struct ImplodeOptions {
    ImplodeLevel level = ImplodeLevel::Best;
    LiteralMode literals = LiteralMode::Auto;
    int dictionaryBits = 6; // 4, 5 or 6: matches of 3 bytes or more reach 64 << bits back
};

// Inputs of this size or larger are refused: the archive's entry sizes are signed 32-bit.
constexpr size_t kImplodeMaxInput = size_t{1} << 31;

// Replaces *stream with the implode stream of data[0..size). Returns true when Explode can
// take the stream. Returns false, with *stream empty, for dictionary bits other than 4, 5 or
// 6 or an input of kImplodeMaxInput bytes or more; and false, with the well-formed stream in
// *stream, when that stream is 4 bytes or shorter (empty input), because Explode rejects a
// first read that short: the caller stores such data instead.
bool Implode(const unsigned char* data, size_t size, const ImplodeOptions& options,
             std::vector<unsigned char>* stream);
