// process_tree.h - the programs that a process started, and ending them.
#pragma once

#include <windows.h>

#include <vector>

// The processes below root (whose parent chain leads to it) that run now, children before
// grandchildren.
std::vector<DWORD> Descendants(DWORD root);
// Ends every process below root, and waits for each to be gone.
void EndDescendants(DWORD root);
