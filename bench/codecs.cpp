// codecs.cpp - Explode and zlib wrapped for whole-buffer benchmark loops; they build for
// Windows too, where the benchmark of the shipped program's targets runs under Wine.
#include "bench/codecs.h"

#include <cstring>

#include <zlib.h>

#include "payload/explode.h"

namespace {

struct ExplodeTransfer {
    const Bytes* stream;
    size_t consumed;
    unsigned char* out;
    size_t capacity;
    size_t written;
    bool overflow;
};

uint32_t ReadBlock(char* buffer, uint32_t* size, void* param) {
    auto* transfer = static_cast<ExplodeTransfer*>(param);
    size_t left = transfer->stream->size() - transfer->consumed;
    size_t count = left < *size ? left : *size;
    std::memcpy(buffer, transfer->stream->data() + transfer->consumed, count);
    transfer->consumed += count;
    return static_cast<uint32_t>(count);
}

void WriteBlock(char* buffer, uint32_t* size, void* param) {
    auto* transfer = static_cast<ExplodeTransfer*>(param);
    if (*size > transfer->capacity - transfer->written) {
        transfer->overflow = true;
        return;
    }
    std::memcpy(transfer->out + transfer->written, buffer, *size);
    transfer->written += *size;
}

} // namespace

ExplodeCodec::ExplodeCodec() : work_(new ExplodeWorkArea) {}
ExplodeCodec::~ExplodeCodec() = default;

bool ExplodeCodec::Decompress(const Bytes& stream, unsigned char* out, size_t size) {
    ExplodeTransfer transfer{&stream, 0, out, size, 0, false};
    int result = Explode(ReadBlock, WriteBlock, work_.get(), &transfer);
    return result == kExplodeOk && !transfer.overflow && transfer.written == size;
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
