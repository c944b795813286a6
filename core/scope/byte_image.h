// SPDX-License-Identifier: MIT
// Byte images of the fixed-layout records. The files are little-endian memory images, so on a
// little-endian host the image is the object representation itself.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace orv {

static_assert(std::endian::native == std::endian::little,
              "the setup, mode and calibration files are raw little-endian images");

template <class T>
concept ByteRecord = std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T>;

template <ByteRecord T>
std::array<uint8_t, sizeof(T)> to_bytes(const T& record) {
    std::array<uint8_t, sizeof(T)> out{};
    std::memcpy(out.data(), &record, sizeof(T));
    return out;
}

// Copies at most sizeof(T) bytes over the start of `record`; a shorter image leaves the rest of
// the record as it was (a short setup file behaves that way). Returns the bytes taken.
template <ByteRecord T>
std::size_t from_bytes(T& record, std::span<const uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), sizeof(T));
    std::memcpy(&record, bytes.data(), n);
    return n;
}

template <ByteRecord T>
T from_bytes(std::span<const uint8_t> bytes) {
    T record{};
    from_bytes(record, bytes);
    return record;
}

} // namespace orv
