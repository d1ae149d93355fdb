// path_strings.h - trailing backslashes of directory paths: adding one, dropping them; walking
// paths character by character.
#pragma once

// A directory to which names are appended ends in a backslash; a directory handed to the file
// system for lookup, wiping or removal has none. These three turn one form into the other.
// Paths are Windows paths: '\' is the only separator ('/' is an ordinary character here).
//
// Paths are walked character by character, never byte by byte: the double-byte code pages of
// Japanese, Chinese and Korean Windows send some characters as a lead byte and a trail byte,
// and the trail byte can be the backslash or a letter ("表" is 95 5C, "ア" is 83 41). In a
// single-byte code page every character is one byte, and so is every step.

// True if c begins a double-byte character of the system's ANSI code page. Only Windows has
// one: on the builder's host names are plain bytes, and no byte leads.
bool IsLeadByte(char c);

// The character after the one at p: two bytes on for a lead byte followed by its trail byte,
// one otherwise (a lead byte at the end of the string stands alone).
const char* NextCharacter(const char* p);
inline char* NextCharacter(char* p) {
    return const_cast<char*>(NextCharacter(static_cast<const char*>(p)));
}

// The first byte of the last character of path; path itself when it is empty.
char* LastCharacter(char* path);

// Turns 'A' to 'Z' into 'a' to 'z' in place, in single-byte characters only: the trail byte
// of a double-byte character is part of another character, which must keep its name.
void LowerCaseLetters(char* path);

// Appends a backslash unless the path is empty or already ends in ':' or '\'. The buffer is a
// path buffer (kPathSize bytes): a path of kPathSize - 1 characters has no room for one more
// and is left as it is, so the caller sees that it did not gain its backslash.
void NormalizeDirectory(char* path);

// Drops one trailing backslash, if there is one; a second one stays.
void StripTrailingBackslash(char* path);

// Copies source into destination, a buffer of kPathSize bytes, without any of its trailing
// backslashes. Returns the position of the destination's terminator. A source longer than a
// path (kPathSize - 1 characters) is refused: the destination becomes empty and the result is
// nullptr.
char* CopyWithoutTrailingBackslashes(const char* source, char* destination);
