// SPDX-License-Identifier: MIT
// The nominal offset-DAC transfer of the front end: the raw code at which a grounded input sits
// for a 12-bit DAC code. It rises linearly with the code, one line per gain stage. The factory
// offset table is generated from it and the simulated instrument follows it (plus each unit's
// own deviation), so both agree on what "nominal" means.
#pragma once

namespace orv::calibration {

inline constexpr int kGainStages = 3;

struct DacLine {
    double code_at_raw_zero; // DAC code at which a grounded input reads raw 0
    double raw_per_code;     // raw counts the zero level moves per DAC code
};

// Raw 1..253 spans codes of roughly 700..3300: well inside 0..4095 for every stage.
inline constexpr DacLine kNominalDac[kGainStages] = {
    {700.0, 0.100},
    {800.0, 0.110},
    {900.0, 0.120},
};

// Zero level (raw code, not rounded) of a grounded input at DAC code `code`.
constexpr double nominal_zero_raw(int gain_stage, double code) {
    const DacLine& l = kNominalDac[gain_stage];
    return (code - l.code_at_raw_zero) * l.raw_per_code;
}

// The DAC code (rounded to the nearest integer, clamped to 0..4095) that puts the zero level
// of a grounded input at `raw`.
constexpr int nominal_dac_code(int gain_stage, double raw) {
    const DacLine& l = kNominalDac[gain_stage];
    double code = l.code_at_raw_zero + raw / l.raw_per_code;
    int c = static_cast<int>(code + 0.5);
    return c < 0 ? 0 : (c > 4095 ? 4095 : c);
}

} // namespace orv::calibration
