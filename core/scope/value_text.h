// SPDX-License-Identifier: MIT
// The label texts of voltages and other fixed-point values.
#pragma once

#include <string>

namespace orv {

// Fixed-point text with `decimals` digits after the point, rounded to at most 8 significant
// digits (the lost digits read as zeros); exponent form once the integer part needs more than 8.
std::string format_fixed(double value, int decimals);

// "1.250V" when |v| >= 1, else millivolts with one decimal: "250.0mV".
std::string format_volts(double volts);
// The trigger-level label: the same with two blanks in front ("  1.250V").
std::string format_level(double volts);
// The channel-settings summary: no decimals ("5V", "500mV").
std::string format_volts_no_decimals(double volts);

} // namespace orv
