// SPDX-License-Identifier: MIT
// The fixed tables that give the settings their physical meaning. Every lookup is bounded: an
// index outside a table yields the documented fallback instead of reading past it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace orv {

inline constexpr int kTimeBases = 24;
inline constexpr int kModels = 6;
inline constexpr int kVoltDivs = 10;
inline constexpr int kRunButtons = 8;
inline constexpr int kSampleRateCount = 15;

// Time base index 0..16 runs from 5 us/div to 1 s/div; 17..23 were added later for the faster
// models and run from 20 ns/div to 2 us/div.
inline constexpr int kSlowestTimeBase = 16;
// From this index on the instrument streams (roll) instead of sending whole frames.
inline constexpr int kFirstStreamedTimeBase = 11;

// Instrument model codes as the information packet reports them.
enum class DeviceModel : int {
    Mhz200 = 0,
    Mhz100 = 1,
    Mhz60 = 2,
    Mhz20 = 3,
    Mhz40 = 4,
    Mhz150 = 5,
};
inline constexpr int kDefaultDeviceModel = 1; // before any information packet
inline constexpr int kUnknownModelReplacement = 2;

extern const std::array<std::string_view, kTimeBases> kTimeBaseLabels;
extern const std::array<double, kTimeBases> kTimeBaseMsPerDiv;
// Stored per model, as the instrument tables are, although every row is the same today.
extern const std::array<std::array<uint8_t, kTimeBases>, kModels> kBlockTransfer;
extern const std::array<std::array<uint8_t, kTimeBases>, kModels> kDecimationStep;
// Sent as a 16-bit value to registers 153 and 154.
extern const std::array<std::array<int32_t, kTimeBases>, kModels> kTimeBaseCode;
// Samples per channel that correspond to 100 % of trigger_x_percent.
extern const std::array<std::array<int32_t, kTimeBases>, kModels> kTriggerSpan;
// The time base that follows index 16 when stepping up, per model.
extern const std::array<uint8_t, kModels> kTimeBaseAfterSlowest;
extern const std::array<std::string_view, kModels> kModelBandwidth; // "200 MHz" ...
extern const std::array<double, kVoltDivs> kVoltsPerDiv;
extern const std::array<std::string_view, kSampleRateCount> kSampleRateLabels;
extern const std::array<std::string_view, kRunButtons> kRunButtonCaptions;

inline constexpr std::string_view kTimeBaseKnobCaption = "TimeBase";
inline constexpr std::string_view kVoltDivKnobCaption = "Volt/Div";

// A model code outside 0..5 is treated as 2, as the information packet handler does.
constexpr int bounded_model(int model) {
    return (model >= 0 && model < kModels) ? model : kUnknownModelReplacement;
}
constexpr bool valid_time_base(int time_base) { return time_base >= 0 && time_base < kTimeBases; }

// Volts/div of a volts/div index; any index outside 0..9 reads as 1 V/div.
double volts_per_div(int index);

// Bounded lookups: an index outside 0..23 reads the row of time base 7 (1 ms/div).
inline constexpr int kFallbackTimeBase = 7;
// Written into SentSettings to force the time base to be sent again. "Current plus one" would
// be a real time base, so turning the knob one step up afterwards would look already sent.
inline constexpr uint8_t kUnsentTimeBase = 0xFF;
std::string_view time_base_label(int time_base);
double time_per_div_ms(int time_base);
uint8_t block_transfer(int time_base, int model);
int decimation_step(int time_base, int model);
int32_t time_base_code(int time_base, int model);
int32_t trigger_span(int time_base, int model);

std::string_view sample_rate_label(int index); // empty outside 0..14
std::string_view run_button_caption(int index); // empty outside 0..7
// The run button highlighted for a run mode: NoDevice lights DEMO.
constexpr int run_button_index(int run_mode) { return run_mode < 0 ? 0 : (run_mode > 7 ? 7 : run_mode); }

} // namespace orv
