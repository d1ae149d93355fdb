// entry_name.h - names from the archive that may be written below the install directory.
#pragma once

// Non-zero if name stays inside the directory it is appended to and names a file there: no
// ".." level (split at '\' or '/', both of which Windows takes), no leading '\' or '/', no
// ':' at all (a drive designator, or an alternate data stream), and no level that Windows
// takes for a device ("nul", "com1.txt", "CON .", ...). '\' inside the directory stays
// allowed.
int IsSafeEntryName(const char* name);
