// SPDX-License-Identifier: MIT
#include "core/calibration/offset_table.h"

#include "core/calibration/nominal_offset_dac.h"
#include "core/scope/front_end.h"

namespace orv {

int16_t OffsetTable::offset_for(Channel channel, int volt_div_index, int position) const {
    return entries[block_of(volt_div_index)][pair_of(position)][channel == Channel::B ? 1 : 0];
}

void OffsetTable::set(Channel channel, int volt_div_index, int position, int16_t value) {
    entries[block_of(volt_div_index)][pair_of(position)][channel == Channel::B ? 1 : 0] = value;
}

namespace calibration {

OffsetTable nominal_offset_table() {
    OffsetTable t;
    for (int v = 0; v < kOffsetBlocks; ++v) {
        for (int p = kOffsetPositionMin; p <= kOffsetPositionMax; ++p) {
            const auto code = static_cast<int16_t>(nominal_dac_code(gain_stage(v), 127 - p));
            t.set(Channel::A, v, p, code);
            t.set(Channel::B, v, p, code);
        }
    }
    return t;
}

} // namespace calibration
} // namespace orv
