// poll_until.h - waiting for what another program or thread does.
#pragma once

#include <windows.h>

// The longest any awaited state may take to appear. Every wait polls and gives up after it,
// so that a program that hangs fails the test instead of holding it.
constexpr DWORD kPatience = 60000;

// Checks `done` until it holds or `milliseconds` have passed, at least once; its last result.
template <typename Condition> bool PollUntil(Condition done, DWORD milliseconds = kPatience) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        Sleep(20);
    }
}
