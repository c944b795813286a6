// SPDX-License-Identifier: MIT
// The measurement pass of PeakThread: statistics, edge counting and frequency of both channels,
// the twelve read-out texts, and the frequency-tracking decision. Everything here is a pure
// function of copies (samples, lengths, frame settings), so the worker calls it with its job and
// the main thread applies what the pass decided.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/analysis/readout_text.h"
#include "core/scope/torv.h"

namespace orv {

using MeasureSample = uint16_t; // raw code 0..255; 256 = end of data

inline constexpr int kMeasureTexts = 12;
inline constexpr uint32_t kMeasureWindowMax = 6144;   // the filled count is clamped to this
inline constexpr uint32_t kMeasureMinWindow = 10;     // this many values or fewer: " ?" texts
inline constexpr double kNoFrequency = 1e-6;          // kHz; marks "no valid frequency"
inline constexpr uint16_t kMeasureEndOfData = 256;

// Selection index order; the panel and the selection form use the same numbering.
enum MeasureItem : int {
    kAVavg = 0, kAVrms, kAVmax, kAVmin, kAVpp, kAFreq,
    kBVavg, kBVrms, kBVmax, kBVmin, kBVpp, kBFreq,
};
extern const std::array<std::string_view, kMeasureTexts> kMeasureNames; // "A: Vavg=" ...

// Readings in ADC counts relative to the channel's own zero (positive = above it).
struct ChannelReadings {
    double max = 0.0;
    double min = 0.0;
    double avg = 0.0;
    double rms = 0.0;
    double swing = 0.0;       // max - min
    double pp = 0.0;          // swing, less one count when the swing is above 3
    double hysteresis = 0.0;  // a crossing with less swing than this since the last one is a glitch
    int edges = 0;
    int glitches = 0;
    int first_edge = 0;
    int last_edge = 0;
    double periods = -0.5;
    double frequency_khz = kNoFrequency;

    bool frequency_valid() const { return frequency_khz != kNoFrequency; }
};

struct MeasureResult {
    bool measured = false;   // false: the window held 10 values or fewer
    uint32_t window = 0;     // filled count measured; its whole pairs are the window
    std::array<ChannelReadings, 2> channel{};
    std::array<ReadoutText, kMeasureTexts> texts{};
};

// What one pass reads besides the samples; the worker fills it from its job's copies.
struct MeasureFrame {
    double a_volts_per_div = 1.0;
    double b_volts_per_div = 1.0;
    int a_position = 0;
    int b_position = 0;
    int time_base = 0;
    double time_per_div_ms = 0.0;
    int device_model = 1;
    double counts_per_div = 25.0;
};
MeasureFrame measure_frame_from(const Torv& frame_settings, int device_model, double counts_per_div);

// One measurement pass over the first min(frame_length, 6144) interleaved values of `samples`.
// The window also ends before the first pair holding the end-of-data code, and never reaches past
// `samples`.
void measure_frame(std::span<const MeasureSample> samples, uint32_t frame_length,
                   const MeasureFrame& frame, MeasureResult& out);

// Volts of a reading of `counts` on a channel.
constexpr double measure_volts(double counts, double volts_per_div, double counts_per_div) {
    return counts * volts_per_div / counts_per_div;
}

// "FA" / "FB" / "NFT".
enum class FrequencyTracking : uint8_t { None = 0, ChannelA = 1, ChannelB = 2 };

// What frequency tracking wants the main thread to do with CurrentSettings after a pass.
struct TrackingDecision {
    bool active = false;          // the pass ran tracking at all
    int channel = 0;              // 0 A, 1 B
    int time_base_step = 0;       // +1 one position slower, -1 one faster, 0 stay
    int position_delta = 0;       // counts added to the channel's position before clamping
    double periods_per_div = 0.0;
};

struct TrackingInput {
    FrequencyTracking mode = FrequencyTracking::None;
    RunMode run_mode = RunMode::Hold;  // of CurrentSettings
    uint32_t frame_length = 0;
    uint32_t frame_count = 6144;
    int time_base = 0;                 // of FrameSettings
    double time_per_div_ms = 0.0;      // of FrameSettings
    int position = 0;                  // tracked channel's position in FrameSettings
    int device_model = 1;
};

TrackingDecision decide_tracking(const MeasureResult& result, std::span<const MeasureSample> samples,
                                 const TrackingInput& in);

// Applies a decision to CurrentSettings on the main thread: steps the time base and corrects and
// clamps the tracked position. Returns true when a setting changed (the caller then sends the
// settings and redraws the knobs).
bool apply_tracking(const TrackingDecision& decision, Torv& current, int device_model);

// The text label `label` of the panel shows: the text of its selection index when the label is
// among the first `measure_count`, else six blanks. An index outside 0..11 shows the blanks too.
std::string_view measure_label_text(const MeasureResult& result, int label, int selection_index,
                                    int measure_count);

// Clipboard texts: blanks become tabs; "Copy All" frames every label with "\r\n".
std::string copy_current_measurement(std::string_view label_text);
std::string copy_all_measurements(std::span<const std::string_view, kMeasureTexts> label_texts);

} // namespace orv
