// stub_signature.h - whether a stub already carries an Authenticode signature.
#pragma once

#include <cstddef>

// True if image is a PE file (32- or 64-bit) whose security directory, the place of its
// certificate table, is set. Anything that is not such a file, or is cut short, is unsigned.
bool StubIsSigned(const unsigned char* image, size_t size);
