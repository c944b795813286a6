// SPDX-License-Identifier: MIT
// The instrument's 4-byte register command and the registers the engine writes.
#pragma once

#include <array>
#include <cstdint>

namespace orv {

// The top two bits of every byte give its place in the command, so the instrument can find
// command boundaries in the byte stream.
constexpr std::array<uint8_t, 4> command_bytes(uint8_t reg, uint8_t value) {
    return {static_cast<uint8_t>(value >> 4), static_cast<uint8_t>(0x40 | (value & 0x0F)),
            static_cast<uint8_t>(0x80 | (reg & 0x0F)), static_cast<uint8_t>(0xE0 | (reg >> 4))};
}

namespace reg {
inline constexpr uint8_t kRun = 15;           // 0 stop, 1..3 block run codes, 5 stream, 6 calibration
inline constexpr uint8_t kScopeMode = 13;
inline constexpr uint8_t kTriggerLevel = 152;
inline constexpr uint8_t kTimeBaseLow = 153;
inline constexpr uint8_t kTimeBaseHigh = 154;
inline constexpr uint8_t kTriggerCode = 155;
inline constexpr uint8_t kInit = 156;
inline constexpr uint8_t kRelayA = 160;
inline constexpr uint8_t kRelayB = 161;
inline constexpr uint8_t kOffsetHighA = 162;
inline constexpr uint8_t kOffsetHighB = 163;
inline constexpr uint8_t kOffsetLowA = 164;
inline constexpr uint8_t kOffsetLowB = 165;
inline constexpr uint8_t kTriggerPosLow = 166;
inline constexpr uint8_t kTriggerPosHigh = 167;
inline constexpr uint8_t kLogicMode = 170;
} // namespace reg

inline constexpr uint8_t kRunStop = 0;
inline constexpr uint8_t kRunStream = 5;
inline constexpr uint8_t kRelayBFinal = 24;

} // namespace orv
