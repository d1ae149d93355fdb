// lead_bytes.cpp - IsLeadByte: the lead bytes of the system's ANSI code page.
#include "shell/path_strings.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The system's own table, so that paths split where Windows splits them. In a single-byte
// code page it answers no for every byte.
bool IsLeadByte(char c) {
    return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0;
}
#else
// The builder on its host treats names as bytes, whatever the host's locale: a setup file
// made here is the same on every machine.
bool IsLeadByte(char) {
    return false;
}
#endif
