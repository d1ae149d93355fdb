// uninst_args.h - the uninstaller's command line: the program group's name and "/quiet".
#pragma once

#include <cstddef>

// Longest group name kept, terminator included; Windows allows 255 characters per name.
constexpr size_t kGroupNameSize = 256;

struct UninstallArguments {
    char group[kGroupNameSize]; // the program group's folder name, as given
    bool quiet;                 // "/quiet": no confirmation and no message boxes
};

// Splits the command line (without the program's name) into the group name and the optional
// "/quiet". Names with blanks are given in double quotes. Fails on an empty command line,
// a name that does not fit, more than two arguments or an unknown second one; `quiet` is
// filled whenever "/quiet" was seen, so that a refusal can stay silent too. Does not judge
// the name: see IsSafeGroupName.
bool ParseUninstallArguments(const char* commandLine, UninstallArguments* arguments);

// Whether the name can only mean a folder directly inside the Programs folder. It refuses the
// empty name, every character that Windows does not allow in a name ('\', '/', ':', '*', '?',
// '"', '<', '>', '|', control characters), any "..", and names of dots and blanks only, which
// Windows would shorten to the Programs folder itself.
bool IsSafeGroupName(const char* name);
