// stub_signature.cpp - finds the security directory in a stub's PE header.
//
// A signature covers the file it was made for, and its certificate table must stay the last
// thing in the file. Appending a payload to a signed stub gives a setup file whose signature
// no longer matches, with the certificate in front of the payload; so the builder refuses
// such a stub, and the finished setup file is signed instead.
#include "tools/mksetup/stub_signature.h"

#include <cstdint>

#include "payload/archive_format.h"

namespace {

constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kSecurityDirectory = 4; // index among the data directories

uint32_t Read(const unsigned char* p, int bytes) {
    return static_cast<uint32_t>(archive::LoadLittleEndian(p, bytes));
}

} // namespace

bool StubIsSigned(const unsigned char* image, size_t size) {
    if (size < 0x40 || image[0] != 'M' || image[1] != 'Z')
        return false;
    size_t pe = Read(image + 0x3C, 4);
    size_t optional = pe + 24;
    if (pe > size || size - pe < 24 + 2 || Read(image + pe, 4) != 0x00004550) // "PE\0\0"
        return false;
    size_t optionalSize = Read(image + pe + 20, 2);
    uint16_t magic = static_cast<uint16_t>(Read(image + optional, 2));
    size_t counts = magic == kMagicPe32 ? 92 : magic == kMagicPe32Plus ? 108 : 0;
    if (counts == 0 || optionalSize < counts + 4 || size - optional < optionalSize)
        return false;
    uint32_t directories = Read(image + optional + counts, 4);
    size_t entry = counts + 4 + kSecurityDirectory * 8;
    if (directories <= kSecurityDirectory || optionalSize < entry + 8)
        return false;
    return Read(image + optional + entry, 4) != 0 || Read(image + optional + entry + 4, 4) != 0;
}
