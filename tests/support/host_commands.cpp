// host_commands.cpp - host commands through CreateProcess, which Wine hands to the host.
#include "tests/support/host_commands.h"

bool StartOnHost(const std::string& shellCommand) {
    std::string commandLine = "/bin/sh -c \"" + shellCommand + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
