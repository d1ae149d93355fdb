// test_sounds.cpp - system sounds and the beep that replaces one that cannot be played.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "shell/sounds.h"

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
