// sounds.cpp - PlaySystemSound over the multimedia sound service, loaded on first use.
#include "shell/sounds.h"

#include <windows.h>

#include "shell/system_library.h"

uint8_t SoundsEnabled = 1;

namespace {

using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR sound, HMODULE module, DWORD flags);

constexpr DWORD kPlayAsync = 0x0001; // SND_ASYNC: return at once, play in the background

// The sound service is loaded by hand from the system directory, never imported: a setup
// program is run from a download folder, and an imported DLL would be searched for there
// first, where anyone may have put one of that name. Looked up once; nullptr when the DLL
// or its function is missing.
PlaySoundFunction SoundService() {
    static bool looked = false;
    static PlaySoundFunction play = nullptr;
    if (!looked) {
        looked = true;
        HMODULE library = LoadSystemLibrary("winmm.dll");
        if (library)
            play = reinterpret_cast<PlaySoundFunction>(
                reinterpret_cast<void*>(GetProcAddress(library, "PlaySoundA")));
    }
    return play;
}

} // namespace

int PlaySystemSound(const char* name, int beepIfFails) {
    if (!SoundsEnabled)
        return 0;
    PlaySoundFunction play = SoundService();
    BOOL played = play ? play(name, nullptr, kPlayAsync) : FALSE;
    if (played)
        return played;
    if (!beepIfFails)
        return 0;
    return Beep(256, 500);
}
