// SPDX-License-Identifier: MIT
// Read-out texts built on a worker for every frame. They live in fixed-capacity buffers so a pass
// never touches the heap; the longest text the analysis writes is well below the capacity.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

#include "core/scope/value_text.h" // format_fixed_to

namespace orv {


class ReadoutText {
public:
    static constexpr std::size_t kCapacity = 64;

    ReadoutText() = default;
    explicit ReadoutText(std::string_view s) { append(s); }

    void clear() {
        size_ = 0;
        chars_[0] = '\0';
    }
    ReadoutText& append(std::string_view s);
    ReadoutText& append_fixed(double value, int decimals);

    std::string_view view() const { return {chars_, size_}; }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return size_; }
    bool operator==(std::string_view s) const { return view() == s; }

private:
    char chars_[kCapacity] = {};
    std::size_t size_ = 0;
};

std::ostream& operator<<(std::ostream& os, const ReadoutText& t);

} // namespace orv
