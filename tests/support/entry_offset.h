// entry_offset.h - where a file entry's data stand in a setup file, for tests that damage them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the data of the entry whose item starts at itemStart begin: behind its name, the
// name's terminator and the 4-byte size field.
size_t DataOffset(uint64_t itemStart, const std::string& name);
// The same for the first entry of that name at or behind offset from in a whole file (past
// the setup program's own headers by default); a test failure when there is none.
size_t DataOffset(const std::vector<unsigned char>& file, const std::string& name,
                  size_t from = 1024);
