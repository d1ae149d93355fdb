// test_sounds.cpp - system sounds and the beep that replaces one that cannot be played.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/sounds.h"
#include "shell/system_library.h"

namespace {

// This program runs twice: once as it is, and once with Wine told not to load the sound
// service (winmm.dll), which is then as missing as on a system without one.
bool SoundServiceDisabled() {
    const char* state = std::getenv("LXV_SOUND_SERVICE");
    return state && std::strcmp(state, "absent") == 0;
}

class SoundsOff {
  public:
    SoundsOff() { SoundsEnabled = 0; }
    ~SoundsOff() { SoundsEnabled = 1; }
};

} // namespace

TEST(PlaySystemSound, StaysSilentWhenSoundsAreOff) {
    EXPECT_EQ(SoundsEnabled, 1);
    SoundsOff off;
    EXPECT_EQ(PlaySystemSound("SystemAsterisk", 1), 0);
    EXPECT_EQ(PlaySystemSound("SystemStart", 0), 0);
}

TEST(PlaySystemSound, StartsTheSoundWhereTheServiceIsThere) {
    if (SoundServiceDisabled())
        GTEST_SKIP() << "run without the sound service";
    // Wine's sound service starts an asynchronous sound even without a sound device.
    EXPECT_NE(PlaySystemSound("SystemStart", 0), 0);
    EXPECT_NE(PlaySystemSound("SystemAsterisk", 1), 0);
}

TEST(PlaySystemSound, BeepsOnlyWhenAskedWhereTheServiceIsMissing) {
    if (!SoundServiceDisabled())
        GTEST_SKIP() << "run with the sound service";
    ASSERT_EQ(LoadLibraryExA("winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), nullptr);
    EXPECT_EQ(PlaySystemSound("SystemStart", 0), 0);
    EXPECT_NE(PlaySystemSound("SystemAsterisk", 1), 0) << "the beep sounded";
}

// Where Windows does not know the system-directory search flag (XP, and Vista and 7 without
// its update) the sound service is loaded by its full path instead: that way must find the
// system's own copy, and nothing where the service is missing.
TEST(LoadFromSystemDirectory, LoadsTheSystemsOwnCopy) {
    HMODULE library = LoadFromSystemDirectory("winmm.dll");
    if (SoundServiceDisabled()) {
        EXPECT_EQ(library, nullptr);
        return;
    }
    ASSERT_NE(library, nullptr);
    char file[MAX_PATH] = {};
    GetModuleFileNameA(library, file, sizeof file);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_STRCASEEQ(file, (std::string(system) + "\\winmm.dll").c_str());
    FreeLibrary(library);
    EXPECT_EQ(LoadFromSystemDirectory("lxv-missing.dll"), nullptr);
}
