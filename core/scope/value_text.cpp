// SPDX-License-Identifier: MIT
#include "core/scope/value_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orv {
namespace {

constexpr int kSignificantDigits = 8;

// "-0.0" reads as a sign error on a label; a value that rounds to zero is written unsigned.
void drop_negative_zero(std::string& s) {
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
}

} // namespace

std::string format_fixed(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 18);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

    char buf[64];
    const double a = std::fabs(value);
    const int integer_digits = a > 0 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 0;
    if (integer_digits > kSignificantDigits) {
        std::snprintf(buf, sizeof buf, "%.*E", kSignificantDigits - 1, value);
        return buf;
    }
    const int kept = std::clamp(kSignificantDigits - integer_digits, 0, decimals);
    std::snprintf(buf, sizeof buf, "%.*f", kept, value);
    std::string s = buf;
    if (kept < decimals) {
        if (kept == 0 && decimals > 0) s += '.';
        s.append(static_cast<std::size_t>(decimals - kept), '0');
    }
    drop_negative_zero(s);
    return s;
}

std::string format_volts(double volts) {
    if (std::fabs(volts) >= 1.0) return format_fixed(volts, 3) + "V";
    return format_fixed(volts * 1000.0, 1) + "mV";
}

std::string format_level(double volts) { return "  " + format_volts(volts); }

std::string format_volts_no_decimals(double volts) {
    if (std::fabs(volts) >= 1.0) return format_fixed(volts, 0) + "V";
    return format_fixed(volts * 1000.0, 0) + "mV";
}

} // namespace orv
