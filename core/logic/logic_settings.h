// SPDX-License-Identifier: MIT
// The logic analyser configuration: the same 48 bytes in memory, in "logic_usp.vit" and at the
// head of a logic data file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

inline constexpr int16_t kLogicTriggerPositiveEdge = 0;
inline constexpr int16_t kLogicTriggerNegativeEdge = 1;
inline constexpr int16_t kLogicTriggerByte = 2;

// Edge triggers are patterns on the two earliest bits (bit 7 is the earliest sample).
inline constexpr int16_t kLogicEdgeMask = 0xC0;
inline constexpr int16_t kLogicPositiveEdgeValue = 0x40;
inline constexpr int16_t kLogicNegativeEdgeValue = 0x80;

struct LogicSettings {
    int16_t rate_index = 0; // 0..12 internal clock, 13 / 14 external
    uint8_t reserved_02[6]{};
    double zoom = 0.0;      // 1 = 256 samples across the view
    int16_t external_clock = 0;
    uint8_t clock_edge = 0; // 0 positive, 1 negative, 2 both
    uint8_t reserved_13 = 0;
    int16_t trigger_source = 0;
    int16_t trigger_mode = 0;
    int16_t trigger_value = 0;
    int16_t trigger_mask = 0;
    uint8_t reserved_1c[4]{};
    double trigger_fine_offset = 0.0;
    int32_t sample_count = 0; // samples per channel in the frame
    uint8_t reserved_2c[4]{};
};

static_assert(sizeof(LogicSettings) == 48);
static_assert(offsetof(LogicSettings, rate_index) == 0);
static_assert(offsetof(LogicSettings, reserved_02) == 2);
static_assert(offsetof(LogicSettings, zoom) == 8);
static_assert(offsetof(LogicSettings, external_clock) == 16);
static_assert(offsetof(LogicSettings, clock_edge) == 18);
static_assert(offsetof(LogicSettings, reserved_13) == 19);
static_assert(offsetof(LogicSettings, trigger_source) == 20);
static_assert(offsetof(LogicSettings, trigger_mode) == 22);
static_assert(offsetof(LogicSettings, trigger_value) == 24);
static_assert(offsetof(LogicSettings, trigger_mask) == 26);
static_assert(offsetof(LogicSettings, reserved_1c) == 28);
static_assert(offsetof(LogicSettings, trigger_fine_offset) == 32);
static_assert(offsetof(LogicSettings, sample_count) == 40);
static_assert(offsetof(LogicSettings, reserved_2c) == 44);

// Internal clock at the fastest rate, zoom 1, positive-edge trigger on channel A.
constexpr LogicSettings default_logic_settings() {
    LogicSettings s;
    s.zoom = 1.0;
    s.trigger_mode = kLogicTriggerPositiveEdge;
    s.trigger_mask = kLogicEdgeMask;
    s.trigger_value = kLogicPositiveEdgeValue;
    return s;
}

} // namespace orv
