// SPDX-License-Identifier: MIT
#include "core/scope/torv.h"

#include "core/scope/tables.h"

namespace orv {

bool Torv::step_time_base(int direction, int model) {
    if (direction == 1) {
        if (time_base == kSlowestTimeBase) {
            // The slower models have no 20 ns (and 50 ns) range; their walk skips over it.
            const int m = bounded_model(model);
            if (m == 2) time_base = 17;
            else if (m == 3 || m == 4) time_base = 18;
        }
        if (time_base == 23) {
            time_base = 0;
            return true;
        }
        ++time_base;
        return true;
    }
    if (time_base == 18) return false;
    if (time_base == 0) time_base = 23;
    else --time_base;
    return true;
}

void refresh_derived(Torv& s, int probe_a, int probe_b, int device_model, double counts_per_div) {
    s.a_volts_per_div = volts_per_div(s.a_volt_div) * probe_factor(probe_a);
    s.b_volts_per_div = volts_per_div(s.b_volt_div) * probe_factor(probe_b);
    s.time_per_div_ms = time_per_div_ms(s.time_base);
    s.block_transfer = block_transfer(s.time_base, device_model);
    s.a_position_volts = counts_to_volts(s.a_position, s.a_volts_per_div, counts_per_div);
    s.b_position_volts = counts_to_volts(s.b_position, s.b_volts_per_div, counts_per_div);
    const double trigger_vpd = s.trigger_source == 1 ? s.b_volts_per_div : s.a_volts_per_div;
    s.trigger_level_volts = counts_to_volts(s.trigger_level, trigger_vpd, counts_per_div);
    s.trigger_code = trigger_code(s);
}

} // namespace orv
