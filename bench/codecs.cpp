// codecs.cpp - Explode and zlib wrapped for whole-buffer benchmark loops; they build for
// Windows too, where the benchmark of the shipped program's targets runs under Wine.
#include "bench/codecs.h"

#include <zlib.h>

#include "payload/explode.h"
#include "payload/explode_in_memory.h"

ExplodeCodec::ExplodeCodec() : work_(new ExplodeWorkArea) {}
ExplodeCodec::~ExplodeCodec() = default;

bool ExplodeCodec::Decompress(const Bytes& stream, unsigned char* out, size_t size) {
    MemoryExplodeResult run = ExplodeInto(stream.data(), stream.size(), work_.get(), out, size);
    return run.result == kExplodeOk && !run.refused && run.written == size;
}

ZlibCodec::ZlibCodec() : inflater_(new z_stream_s{}) {
    inflateInit2(inflater_.get(), -15);
}
ZlibCodec::~ZlibCodec() {
    inflateEnd(inflater_.get());
}

Bytes ZlibCodec::Compress(const Bytes& data, int level, int windowBits, int strategy) {
    z_stream deflater{};
    deflateInit2(&deflater, level, Z_DEFLATED, -windowBits, 8, strategy);
    Bytes out(deflateBound(&deflater, data.size()));
    deflater.next_in = const_cast<unsigned char*>(data.data());
    deflater.avail_in = static_cast<uInt>(data.size());
    deflater.next_out = out.data();
    deflater.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&deflater, Z_FINISH);
    out.resize(result == Z_STREAM_END ? deflater.total_out : 0);
    deflateEnd(&deflater);
    return out;
}

bool ZlibCodec::Decompress(const Bytes& stream, unsigned char* out, size_t size) {
    z_stream* inflater = inflater_.get();
    inflateReset(inflater);
    inflater->next_in = const_cast<unsigned char*>(stream.data());
    inflater->avail_in = static_cast<uInt>(stream.size());
    inflater->next_out = out;
    inflater->avail_out = static_cast<uInt>(size);
    return inflate(inflater, Z_FINISH) == Z_STREAM_END && inflater->total_out == size;
}
