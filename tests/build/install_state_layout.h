// install_state_layout.h - the layout of InstallState as one unit sees it, as a type.
//
// The check program is built from two units that include the record's header in different
// orders. One defines Check() for the layout it sees, the other calls Check() for its own, so
// the program links only when both see the same size and offsets; otherwise the linker names
// the missing layout with its numbers.
#pragma once

#include <cstddef>

template <size_t Size, size_t Scratch, size_t PayloadFile, size_t Consumed, size_t Succeeded>
struct InstallStateLayout {
    static int Check();
};

#define LXV_INSTALL_STATE_LAYOUT                                                                   \
    InstallStateLayout<sizeof(InstallState), offsetof(InstallState, scratch),                      \
                       offsetof(InstallState, payloadFile), offsetof(InstallState, consumed),      \
                       offsetof(InstallState, succeeded)>
