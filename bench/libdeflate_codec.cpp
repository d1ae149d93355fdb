// libdeflate_codec.cpp - libdeflate wrapped for whole-buffer benchmark loops (native only).
#include "bench/codecs.h"

#include <libdeflate.h>

LibdeflateCodec::LibdeflateCodec(int level)
    : compressor_(libdeflate_alloc_compressor(level)),
      decompressor_(libdeflate_alloc_decompressor()) {}

LibdeflateCodec::~LibdeflateCodec() {
    libdeflate_free_compressor(compressor_);
    libdeflate_free_decompressor(decompressor_);
}

Bytes LibdeflateCodec::Compress(const Bytes& data) {
    Bytes out(libdeflate_deflate_compress_bound(compressor_, data.size()));
    out.resize(
        libdeflate_deflate_compress(compressor_, data.data(), data.size(), out.data(), out.size()));
    return out;
}

bool LibdeflateCodec::Decompress(const Bytes& stream, unsigned char* out, size_t size) {
    return libdeflate_deflate_decompress(decompressor_, stream.data(), stream.size(), out, size,
                                         nullptr) == LIBDEFLATE_SUCCESS;
}
