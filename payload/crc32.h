// crc32.h - the CRC-32 of the integrity record: the polynomial of zip, PNG and Ethernet
// (0xEDB88320 reflected), initial value and final XOR all ones.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues the CRC-32 `crc` of earlier bytes over size more bytes; start with 0. So
// Crc32(Crc32(0, a, n), b, m) is the CRC-32 of a followed by b, and Crc32(0, "123456789", 9)
// is 0xCBF43926.
uint32_t Crc32(uint32_t crc, const void* data, size_t size);
