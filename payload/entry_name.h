// entry_name.h - names from the archive that may be written below the install directory.
#pragma once

// Why Windows could not create name, in the current directory, as it stands; nullptr if it
// can. Levels are split at '\'; a name must not begin with one. Refused: a ".." level; a
// level that Windows takes for a device ("nul", "com1.txt", "CON .", ...); a level that ends
// in a dot or a blank, which Windows would drop; and the characters < > : " / | ? * and
// 1 to 31 anywhere (':' would name a drive or an alternate data stream, '/' a level). The
// name is walked by the characters of a code page: leadBytes flags, for each byte value,
// whether it begins a double-byte character; nullptr means the system code page's.
const char* EntryNameFault(const char* name, const bool* leadBytes);

// Non-zero if name, in the system code page, has no fault: it stays inside the directory it
// is appended to and names a file there that Windows can create.
int IsSafeEntryName(const char* name);
