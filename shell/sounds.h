// sounds.h - system event sounds, with a beep where the sound cannot be played.
#pragma once

#include <cstdint>

// The process-wide sound switch: 1 (on) from the start; nothing in the program changes it.
extern uint8_t SoundsEnabled;

// Starts the system sound name (for example "SystemAsterisk") in the background. When it
// cannot be played (no sound service, no sound of that name) and beepIfFails is set, beeps
// at 256 Hz for 500 ms instead. Returns non-zero when the sound was started or the beep
// sounded, 0 otherwise and whenever sounds are switched off.
int PlaySystemSound(const char* name, int beepIfFails);
