// SPDX-License-Identifier: MIT
#include "core/analysis/readout_text.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace orv {

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
