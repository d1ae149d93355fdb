// install_sequence.h - one whole installation, from the directory text to the program group.
#pragma once

// Runs the installation into the directory typed by the user; developer is the state of the
// developer check box. Everything it shows goes through installState.observer; its outcome
// is in installState (finished, succeeded).
void RunInstall(const char* directoryText, int developer);
