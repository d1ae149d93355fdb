// process_tree.h - the programs that a process started, and ending them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The processes below root (whose parent chain leads to it) that run now, children before
// grandchildren.
std::vector<DWORD> Descendants(DWORD root);
// Ends every process below root, and waits for each to be gone.
void EndDescendants(DWORD root);
// The file name of a running process's program, lower-cased; "" if it runs no longer.
std::string ProgramName(DWORD process);
// The exit code of process once it has ended, waiting at most milliseconds; -1 if it has not
// ended by then (or there is no process).
long WaitForExitCode(HANDLE process, DWORD milliseconds);
