// ansi_paths.h - the 8-bit form of a path that Windows hands out in UTF-16.
#pragma once

// Puts the path wide into path (kPathSize bytes) in the system's ANSI code page, exactly:
// where a character has no form there (a Cyrillic name on a Western system), the path's
// short (8.3) form is taken instead, which the file system spells in plain ASCII where it
// keeps short names. Returns 1 on success; 0, with path empty, when neither form converts
// without loss or fits, so that a path with '?' in the place of a character is never used.
int ToAnsiPath(const wchar_t* wide, char* path);
