// process_tree.cpp - the process tree as the system lists it now.
#include "tests/support/process_tree.h"

#include <tlhelp32.h>

#include <algorithm>
#include <utility>

namespace {

// Every process with its parent, as the system lists them now.
std::vector<std::pair<DWORD, DWORD>> ProcessParents() {
    std::vector<std::pair<DWORD, DWORD>> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return list;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        list.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    CloseHandle(snapshot);
    return list;
}

} // namespace

std::vector<DWORD> Descendants(DWORD root) {
    std::vector<std::pair<DWORD, DWORD>> parents = ProcessParents();
    std::vector<DWORD> found{root};
    for (size_t i = 0; i < found.size(); ++i)
        for (const auto& [process, parent] : parents)
            if (parent == found[i] && process != root &&
                std::find(found.begin(), found.end(), process) == found.end())
                found.push_back(process);
    found.erase(found.begin());
    return found;
}

std::string ProgramName(DWORD process) {
    std::string name;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return name;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == process)
            name = entry.szExeFile;
    CloseHandle(snapshot);
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
