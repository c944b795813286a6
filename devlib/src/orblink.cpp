// SPDX-License-Identifier: MIT
#include "orblink.h"

extern "C" uint32_t OB_GetLibraryVersion(void) { return 0x030107; }
