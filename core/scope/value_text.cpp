// SPDX-License-Identifier: MIT
#include "core/scope/value_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orv {
namespace {

constexpr int kSignificantDigits = 8;

std::size_t put(char* out, std::size_t capacity, const char* s) {
    if (capacity == 0) return 0;
    const std::size_t n = std::min(std::strlen(s), capacity - 1);
    std::memcpy(out, s, n);
    out[n] = '\0';
    return n;
}

} // namespace

std::size_t format_fixed_to(char* out, std::size_t capacity, double value, int decimals) {
    decimals = std::clamp(decimals, 0, 18);
    if (std::isnan(value)) return put(out, capacity, "NAN");
    if (std::isinf(value)) return put(out, capacity, value < 0 ? "-INF" : "INF");

    char buf[64];
    const double a = std::fabs(value);
    const int integer_digits = a > 0 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 0;
    if (integer_digits > kSignificantDigits) {
        std::snprintf(buf, sizeof buf, "%.*E", kSignificantDigits - 1, value);
        return put(out, capacity, buf);
    }
    const int kept = std::clamp(kSignificantDigits - integer_digits, 0, decimals);
    int n = std::snprintf(buf, sizeof buf, "%.*f", kept, value);
    if (kept < decimals) {
        if (kept == 0) buf[n++] = '.';
        for (int i = kept; i < decimals; ++i) buf[n++] = '0';
        buf[n] = '\0';
    }
    // "-0.0" reads as a sign error on a label; a value that rounds to zero is written unsigned.
    if (buf[0] == '-' && std::strspn(buf + 1, "0.") == std::strlen(buf + 1)) {
        return put(out, capacity, buf + 1);
    }
    return put(out, capacity, buf);
}

std::string format_fixed(double value, int decimals) {
    char buf[64];
    const std::size_t n = format_fixed_to(buf, sizeof buf, value, decimals);
    return std::string(buf, n);
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
