// SPDX-License-Identifier: MIT
// The label texts of voltages and other fixed-point values.
#pragma once

#include <cstddef>
#include <string>

namespace orv {

// Writes `value` in fixed notation with `decimals` digits after the point, keeping at most 8
// significant digits (the digits beyond read as zeros) and switching to exponent form once the
// integer part needs more than 8. A value that rounds to zero is written without a sign. Returns
// the length written (the text is always terminated and cut to `capacity` - 1); allocates nothing.
std::size_t format_fixed_to(char* out, std::size_t capacity, double value, int decimals);
// The same as a string.
std::string format_fixed(double value, int decimals);

// "1.250V" when |v| >= 1, else millivolts with one decimal: "250.0mV".
std::string format_volts(double volts);
// The trigger-level label: the same with two blanks in front ("  1.250V").
std::string format_level(double volts);
// The channel-settings summary: no decimals ("5V", "500mV").
std::string format_volts_no_decimals(double volts);

} // namespace orv
