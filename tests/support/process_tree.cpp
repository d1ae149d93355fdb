// process_tree.cpp - the process tree as the system lists it now.
#include "tests/support/process_tree.h"

#include <tlhelp32.h>

#include <algorithm>

namespace {

// Every process, with its parent and its program, as the system lists them now.
std::vector<PROCESSENTRY32> Processes() {
    std::vector<PROCESSENTRY32> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return list;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        list.push_back(entry);
    CloseHandle(snapshot);
    return list;
}

} // namespace

std::vector<DWORD> Descendants(DWORD root) {
    std::vector<PROCESSENTRY32> processes = Processes();
    std::vector<DWORD> found{root};
    for (size_t i = 0; i < found.size(); ++i)
        for (const PROCESSENTRY32& process : processes)
            if (process.th32ParentProcessID == found[i] && process.th32ProcessID != root &&
                std::find(found.begin(), found.end(), process.th32ProcessID) == found.end())
                found.push_back(process.th32ProcessID);
    found.erase(found.begin());
    return found;
}

std::string ProgramName(DWORD process) {
    std::string name;
    for (const PROCESSENTRY32& entry : Processes())
        if (entry.th32ProcessID == process)
            name = entry.szExeFile;
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

void EndDescendants(DWORD root) {
    for (DWORD id : Descendants(root)) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process == nullptr)
            continue;
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

long WaitForExitCode(HANDLE process, DWORD milliseconds) {
    if (process == nullptr || WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<long>(code);
}
