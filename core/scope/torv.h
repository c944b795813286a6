// SPDX-License-Identifier: MIT
// The oscilloscope settings record. Its byte image is stored in mode files, so the layout is
// fixed to the byte; every field offset is asserted below.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

// The value is also the index of the run button (NoDevice highlights the DEMO button).
enum class RunMode : uint8_t {
    Hold = 0,
    Auto = 1,
    Normal = 2,
    Single = 3,
    FreeRun = 4,
    Record = 5,
    Playback = 6,
    Demo = 7,
    NoDevice = 8,
};

inline constexpr int kCouplingDC = 0;
inline constexpr int kCouplingGND = 1;
inline constexpr int kCouplingAC = 2;

inline constexpr uint8_t kTriggerEdgeFalling = 0;
inline constexpr uint8_t kTriggerEdgeRising = 2;
inline constexpr uint8_t kTriggerEdgeLevel = 4;

struct Torv {
    Torv() = default; // every byte zero, run_mode Hold

    uint8_t reserved_00[4]{};
    int16_t measure_count = 0;
    uint8_t reserved_06[6]{};
    int32_t a_coupling = 0;
    int32_t b_coupling = 0;
    RunMode run_mode = RunMode::Hold;
    uint8_t single_armed = 0;
    uint8_t time_base = 0;
    uint8_t block_transfer = 0;
    double time_per_div_ms = 0.0;
    uint8_t reserved_20[8]{};
    uint8_t a_volt_div = 0;
    uint8_t b_volt_div = 0;
    uint8_t reserved_2a[6]{};
    double a_volts_per_div = 0.0;
    double b_volts_per_div = 0.0;
    int16_t a_position = 0;
    int16_t b_position = 0;
    uint8_t reserved_44[4]{};
    double a_position_volts = 0.0;
    double b_position_volts = 0.0;
    uint8_t reserved_58 = 0;
    uint8_t trigger_edge = 0;
    uint8_t trigger_source = 0;
    uint8_t trigger_code = 0;
    int16_t trigger_level = 0;
    uint8_t reserved_5e[2]{};
    double trigger_level_volts = 0.0;
    uint8_t sent_invert_a = 0;
    uint8_t sent_invert_b = 0;
    uint8_t reserved_6a[6]{};
    double trigger_x_percent = 0.0;
    int32_t view_offset = 0;
    uint8_t reserved_7c[4]{};

    // Frequency tracking steps through the time bases in this order; the walk is kept exactly as
    // the instrument family has always done it, including its wrap-arounds. Returns false only
    // when stepping down from index 18 (nothing changes then).
    bool step_time_base(int direction, int model);
};

static_assert(sizeof(Torv) == 128);
static_assert(offsetof(Torv, reserved_00) == 0x00);
static_assert(offsetof(Torv, measure_count) == 0x04);
static_assert(offsetof(Torv, reserved_06) == 0x06);
static_assert(offsetof(Torv, a_coupling) == 0x0C);
static_assert(offsetof(Torv, b_coupling) == 0x10);
static_assert(offsetof(Torv, run_mode) == 0x14);
static_assert(offsetof(Torv, single_armed) == 0x15);
static_assert(offsetof(Torv, time_base) == 0x16);
static_assert(offsetof(Torv, block_transfer) == 0x17);
static_assert(offsetof(Torv, time_per_div_ms) == 0x18);
static_assert(offsetof(Torv, reserved_20) == 0x20);
static_assert(offsetof(Torv, a_volt_div) == 0x28);
static_assert(offsetof(Torv, b_volt_div) == 0x29);
static_assert(offsetof(Torv, reserved_2a) == 0x2A);
static_assert(offsetof(Torv, a_volts_per_div) == 0x30);
static_assert(offsetof(Torv, b_volts_per_div) == 0x38);
static_assert(offsetof(Torv, a_position) == 0x40);
static_assert(offsetof(Torv, b_position) == 0x42);
static_assert(offsetof(Torv, reserved_44) == 0x44);
static_assert(offsetof(Torv, a_position_volts) == 0x48);
static_assert(offsetof(Torv, b_position_volts) == 0x50);
static_assert(offsetof(Torv, reserved_58) == 0x58);
static_assert(offsetof(Torv, trigger_edge) == 0x59);
static_assert(offsetof(Torv, trigger_source) == 0x5A);
static_assert(offsetof(Torv, trigger_code) == 0x5B);
static_assert(offsetof(Torv, trigger_level) == 0x5C);
static_assert(offsetof(Torv, reserved_5e) == 0x5E);
static_assert(offsetof(Torv, trigger_level_volts) == 0x60);
static_assert(offsetof(Torv, sent_invert_a) == 0x68);
static_assert(offsetof(Torv, sent_invert_b) == 0x69);
static_assert(offsetof(Torv, reserved_6a) == 0x6A);
static_assert(offsetof(Torv, trigger_x_percent) == 0x70);
static_assert(offsetof(Torv, view_offset) == 0x78);
static_assert(offsetof(Torv, reserved_7c) == 0x7C);

// The register value of the trigger: edge plus source (0..5).
constexpr uint8_t trigger_code(const Torv& s) {
    return static_cast<uint8_t>(s.trigger_edge + s.trigger_source);
}

// Probe factor of a probe code: 0 x1, 1 x10, 2 x100; anything else counts as x1.
constexpr double probe_factor(int probe_code) {
    return probe_code == 1 ? 10.0 : (probe_code == 2 ? 100.0 : 1.0);
}

// Recomputes every derived field of `s` from its primary fields. `counts_per_div` is the ADC
// counts per vertical division of the current calibration. The ScopeContext overload supplies
// the probe codes, model and scale from the running program.
void refresh_derived(Torv& s, int probe_a, int probe_b, int device_model, double counts_per_div);

// Volts of `counts` ADC counts at `volts_per_div` (position and trigger-level labels).
constexpr double counts_to_volts(double counts, double volts_per_div, double counts_per_div) {
    return counts * volts_per_div / counts_per_div;
}

} // namespace orv
