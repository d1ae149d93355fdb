// <cstdint> and <cstdio> first, as the archive reader includes them.
#include <cstdint>
#include <cstdio>

#include "app/install_state.h"
#include "tests/build/install_state_layout.h"

int main() {
    return LXV_INSTALL_STATE_LAYOUT::Check();
}
