// The record's header first, as the tests and the application include it.
#include "app/install_state.h"
#include "tests/build/install_state_layout.h"

template <> int LXV_INSTALL_STATE_LAYOUT::Check() {
    return 0;
}
