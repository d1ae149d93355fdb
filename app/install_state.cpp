// install_state.cpp - storage of the process-wide install state.
#include "app/install_state.h"

InstallState installState;
