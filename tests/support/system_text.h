// system_text.h - the system's own message texts, as a box built from them must show them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The system's text for code with the given string inserts (%1, %2, ...; the ones not given
// are empty); "" for a code without a text.
std::string SystemText(DWORD code, std::vector<const char*> inserts = {});
