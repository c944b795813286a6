// SPDX-License-Identifier: MIT
#include "core/calibration/nominal_offset_dac.h"

namespace orv::calibration {
static_assert(nominal_dac_code(0, 0) == 700);
static_assert(nominal_dac_code(2, 253) > 0 && nominal_dac_code(2, 253) < 4095);
} // namespace orv::calibration
