// codecs.h - the benchmark's codecs, each behind a compress and a decompress call over
// memory: Explode through its callbacks, zlib and libdeflate in raw deflate format.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct ExplodeWorkArea;
struct z_stream_s;
struct libdeflate_compressor;
struct libdeflate_decompressor;

using Bytes = std::vector<unsigned char>;

// Explode with the setup program's callbacks: reads of up to 2048 bytes, writes of 4096
// bytes copied into out. Returns true when Explode succeeded and wrote exactly size bytes.
class ExplodeCodec {
  public:
    ExplodeCodec();
    ~ExplodeCodec();
    bool Decompress(const Bytes& stream, unsigned char* out, size_t size);

  private:
    std::unique_ptr<ExplodeWorkArea> work_;
};

class ZlibCodec {
  public:
    ZlibCodec();
    ~ZlibCodec();
    // Raw deflate; windowBits 9..15, strategy as deflateInit2 takes it.
    static Bytes Compress(const Bytes& data, int level, int windowBits, int strategy);
    bool Decompress(const Bytes& stream, unsigned char* out, size_t size);

  private:
    std::unique_ptr<z_stream_s> inflater_;
};

class LibdeflateCodec {
  public:
    explicit LibdeflateCodec(int level);
    ~LibdeflateCodec();
    Bytes Compress(const Bytes& data);
    bool Decompress(const Bytes& stream, unsigned char* out, size_t size);

  private:
    libdeflate_compressor* compressor_;
    libdeflate_decompressor* decompressor_;
};
