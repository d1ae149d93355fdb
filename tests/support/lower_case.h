// lower_case.h - texts and paths compared as the setup program compares them.
#pragma once

#include <string>

// The text with every ASCII capital made small, the other bytes as they are (the C locale's
// tolower): how the setup program writes the directory it installs into.
std::string Lower(std::string text);
