// path_strings.h - trailing backslashes of directory paths: adding one, dropping them.
#pragma once

// A directory to which names are appended ends in a backslash; a directory handed to the file
// system for lookup, wiping or removal has none. These three turn one form into the other.
// Paths are Windows paths: '\' is the only separator ('/' is an ordinary character here).

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
