// SPDX-License-Identifier: MIT
// The multimeter: each channel with a resistor the user connects becomes a volt- and ammeter.
// The resistor entry is checked and converted on the main thread; the readings are computed by
// the measurement worker from its own copies of the frame and the resistor values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/analysis/readout_text.h"

namespace orv {

inline constexpr std::array<std::string_view, 2> kMeterUnits{"OHM", "K"};
inline constexpr std::string_view kMeterInvalidInput = "Invalid Input !";
inline constexpr int32_t kMeterDefaultOhms = 1000;   // a resistor of 0 or less reads as this
inline constexpr int32_t kMeterMaxValue = 9999;

// Texts before the first update.
inline constexpr std::string_view kMeterInitialVa = "Va = -- V";
inline constexpr std::string_view kMeterInitialIa = " Ia = -- A";
inline constexpr std::string_view kMeterInitialRa = " Ra = -- K";
inline constexpr std::string_view kMeterInitialVb = "Vb = -- V";
inline constexpr std::string_view kMeterInitialIb = " Ib = -- A";
inline constexpr std::string_view kMeterInitialRb = " Rb = -- K";

// The number typed into a resistor field, or nothing when the text must be refused with
// kMeterInvalidInput: empty, 5 or more characters, or any character other than a digit.
std::optional<int32_t> parse_meter_resistor(std::string_view text);

// Ohms of a typed number in the unit of list index `unit` (1 = kilo-ohm, anything else ohm).
constexpr int32_t meter_ohms(int32_t number, int32_t unit) { return unit == 1 ? number * 1000 : number; }

// The resistor label after "Change": "Ra = " + the typed text + " " + the unit text.
std::string meter_resistor_label(char channel, std::string_view typed, int32_t unit);

// A stored value outside 1..9999 or a unit outside 0..1 resets both to 1 (1 kilo-ohm).
void repair_meter_setting(int32_t& value, int32_t& unit);

struct MeterChannelInput {
    double volts_per_div = 1.0;   // FrameSettings, probe factor included
    int position = 0;             // FrameSettings
    int32_t ohms = kMeterDefaultOhms;
};

struct MeterReadings {
    ReadoutText va, ia, vb, ib;
};

// The readings from the sample pair 5 of the frame (entries 10 and 11). A channel whose entry is
// not in the record (or is the end-of-data code) keeps the "--" texts.
void meter_update(std::span<const uint16_t> samples, uint32_t frame_length, const MeterChannelInput& a,
                  const MeterChannelInput& b, double counts_per_div, MeterReadings& out);

} // namespace orv
