// SPDX-License-Identifier: MIT
#include "core/analysis/readout_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>

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
    // "-0.0" reads as a sign error on a label.
    if (buf[0] == '-' && std::strspn(buf + 1, "0.") == std::strlen(buf + 1)) {
        return put(out, capacity, buf + 1);
    }
    return put(out, capacity, buf);
}

ReadoutText& ReadoutText::append(std::string_view s) {
    const std::size_t n = std::min(s.size(), kCapacity - 1 - size_);
    std::memcpy(chars_ + size_, s.data(), n);
    size_ += n;
    chars_[size_] = '\0';
    return *this;
}

ReadoutText& ReadoutText::append_fixed(double value, int decimals) {
    size_ += format_fixed_to(chars_ + size_, kCapacity - size_, value, decimals);
    return *this;
}

std::ostream& operator<<(std::ostream& os, const ReadoutText& t) { return os << t.view(); }

} // namespace orv
