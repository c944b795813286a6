// SPDX-License-Identifier: MIT
// Read-out texts built on a worker for every frame. They live in fixed-capacity buffers so a pass
// never touches the heap; the longest text the analysis writes is well below the capacity.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace orv {

// Writes `value` in fixed notation with `decimals` digits after the point, keeping at most 8
// significant digits (the digits beyond read as zeros) and switching to exponent form once the
// integer part needs more than 8. A value that rounds to zero is written without a sign. Returns
// the length written (the text is always terminated and cut to `capacity` - 1).
std::size_t format_fixed_to(char* out, std::size_t capacity, double value, int decimals);

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
