// host_commands.h - running programs of the Linux host from a test that runs under Wine.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/poll_until.h"

// Starts a host shell command (Wine starts host programs like its own). Neither its end nor
// its exit status comes back through Wine: callers wait for what the command does.
bool StartOnHost(const std::string& shellCommand);

// Starts a host shell command and waits, up to milliseconds, until done() shows its effect.
// False if the command could not be started or its effect did not show in time.
template <typename Done>
bool RunOnHost(const std::string& shellCommand, Done done, DWORD milliseconds = kPatience) {
    return StartOnHost(shellCommand) && PollUntil(done, milliseconds);
}
