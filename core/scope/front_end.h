// SPDX-License-Identifier: MIT
// The instrument's analogue front end as the register bytes 160 / 161 describe it.
#pragma once

#include <array>
#include <cstdint>

namespace orv {

// Field values by volts/div index 0..9. The A fields sit in bits 0-2 of relay byte A and bits
// 0-1 of relay byte B; the B fields in bits 5-7 of relay byte A and bits 6-7 of relay byte B.
inline constexpr std::array<uint8_t, 10> kAttenuatorA{4, 2, 2, 2, 1, 1, 1, 0, 4, 4};
inline constexpr std::array<uint8_t, 10> kGainA{0, 1, 2, 0, 1, 2, 0, 0, 1, 2};
inline constexpr std::array<uint8_t, 10> kAttenuatorB{32, 64, 64, 64, 128, 128, 128, 0, 32, 32};
inline constexpr std::array<uint8_t, 10> kGainB{0, 128, 64, 0, 128, 64, 0, 0, 128, 64};

// Bits of relay byte A kept when the field is rebuilt (the complement is the field).
inline constexpr uint8_t kKeepAttenuatorA = 0xF8;
inline constexpr uint8_t kKeepGainA = 0xF0;
inline constexpr uint8_t kKeepAttenuatorB = 0x1F;
inline constexpr uint8_t kKeepGainB = 0x0F;
inline constexpr uint8_t kCouplingBitA = 8;  // set = DC, clear = AC (relay byte A)
inline constexpr uint8_t kCouplingBitB = 16; // set = DC, clear = AC (relay byte A)

// Gain stage 0..2 of a volts/div index (the value of the A gain field). Indices above 9 act as 7.
constexpr int gain_stage(int volt_div_index) {
    return (volt_div_index >= 0 && volt_div_index <= 9) ? kGainA[static_cast<unsigned>(volt_div_index)] : 0;
}

} // namespace orv
