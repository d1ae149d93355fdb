// implode_settings.h - every combination of level, literal mode and dictionary size, and the
// checks that every stream Implode writes must pass.
#pragma once

#include <string>
#include <vector>

#include "tools/packer/implode.h"

using Bytes = std::vector<unsigned char>;

// The 18 combinations: 2 levels x 3 literal modes x dictionary bits 4, 5, 6.
std::vector<ImplodeOptions> AllSettings();
std::string Describe(const ImplodeOptions& options);

// Implodes data, then checks the stream bit by bit (end code in the last byte, every
// distance within what the header allows and within the bytes already decoded) and that
// Explode gives data back. Returns the stream.
Bytes ExpectRoundTrip(const Bytes& data, const ImplodeOptions& options);
