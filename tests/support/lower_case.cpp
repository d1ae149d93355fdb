// lower_case.cpp - lower-casing in the C locale.
#include "tests/support/lower_case.h"

#include <algorithm>
#include <cctype>

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
