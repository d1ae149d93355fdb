// entry_loop.h - walking the items of the open payload and installing the selected entries.
#pragma once

// Reads items from installState.payloadFile until the end item: '>' items switch the output
// sub-directory (made with makePath), file entries are extracted or skipped by selection.
// Returns non-zero at the end item, 0 on a failure already reported.
int InstallEntries(int (*makePath)(char* path));
