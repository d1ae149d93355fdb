// system_text.cpp - FormatMessageA from the system's table, with an argument array.
#include "tests/support/system_text.h"

std::string SystemText(DWORD code, std::vector<const char*> inserts) {
    // As many arguments as a text may name (%1 to %99), so that none is read past the end.
    std::vector<DWORD_PTR> arguments;
    for (const char* insert : inserts)
        arguments.push_back(reinterpret_cast<DWORD_PTR>(insert));
    arguments.resize(99, reinterpret_cast<DWORD_PTR>(""));
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_ARGUMENT_ARRAY,
                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0,
                   reinterpret_cast<va_list*>(arguments.data()));
    std::string result = text ? text : "";
    LocalFree(text);
    return result;
}
