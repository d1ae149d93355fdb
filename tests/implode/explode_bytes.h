// explode_bytes.h - Explode over a byte string through real callbacks: reads of up to 2048
// bytes from memory, writes of 4096 bytes appended to a byte string.
#pragma once

#include <vector>

// Returns Explode's result; *output receives everything the write callback was handed.
int ExplodeBytes(const std::vector<unsigned char>& stream, std::vector<unsigned char>* output);
