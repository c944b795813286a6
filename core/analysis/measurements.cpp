// SPDX-License-Identifier: MIT
#include "core/analysis/measurements.h"

#include <algorithm>
#include <cmath>

#include "core/scope/tables.h"

namespace orv {

const std::array<std::string_view, kMeasureTexts> kMeasureNames{
    "A: Vavg=", "A: Vrms=", "A: Vmax=", "A: Vmin=", "A: Vpp=", "A: Freq=",
    "B: Vavg=", "B: Vrms=", "B: Vmax=", "B: Vmin=", "B: Vpp=", "B: Freq=",
};

namespace {

constexpr std::string_view kHiddenLabel = "      ";
constexpr int kPositionLimit = 126;

uint32_t window_of(std::span<const MeasureSample> samples, uint32_t frame_length) {
    uint32_t f = std::min<uint32_t>(frame_length, kMeasureWindowMax);
    f = std::min<uint32_t>(f, static_cast<uint32_t>(samples.size()));
    // End-of-data ends every measuring loop: a partly filled record must not measure the empty
    // positions as code 256.
    uint32_t pairs = 0;
    while (pairs < f / 2 && samples[2 * pairs] < kMeasureEndOfData &&
           samples[2 * pairs + 1] < kMeasureEndOfData) {
        ++pairs;
    }
    // An odd filled count of 11 still holds five whole pairs and is measured; only a window cut
    // short by the end of data counts as its pairs.
    return pairs == f / 2 ? f : pairs * 2;
}

void statistics(std::span<const MeasureSample> samples, uint32_t pairs, int ch, int position,
                ChannelReadings& r) {
    double max = -255.0;
    double min = 255.0;
    double sum = 0.0;
    double sum_sq = 0.0;
    for (uint32_t i = 0; i < pairs; ++i) {
        const double d = 127.0 - samples[2 * i + ch] - position;
        max = std::max(max, d);
        min = std::min(min, d);
        sum += d;
        sum_sq += d * d;
    }
    r.max = max;
    r.min = min;
    r.avg = sum / pairs;
    r.rms = std::sqrt(sum_sq / pairs);
    r.swing = max - min;
    r.hysteresis = r.swing > 30.0 ? r.swing * (1.0 / 3.0) : r.swing * 0.25;
    r.pp = r.swing > 3.0 ? r.swing - 1.0 : r.swing;
}

void count_edges(std::span<const MeasureSample> samples, uint32_t pairs, int ch, int position,
                 ChannelReadings& r) {
    const double mid = 127.0 - r.avg - position;
    auto state_of = [mid](int code, int previous) { return code < mid ? 0 : (code > mid ? 1 : previous); };
    int state = state_of(samples[ch], 0);
    int largest = 0;
    int smallest = 255;
    r.edges = 0;
    r.glitches = 0;
    r.first_edge = 0;
    r.last_edge = 0;
    for (uint32_t i = 1; i < pairs; ++i) {
        const int code = samples[2 * i + ch];
        const int next = state_of(code, state);
        // The crossing sample belongs to the swing it completes; leaving it out would make every
        // edge of a clean square wave (flat between crossings) look like a glitch.
        largest = std::max(largest, code);
        smallest = std::min(smallest, code);
        if (next != state) {
            ++r.edges;
            r.last_edge = static_cast<int>(i);
            if (r.edges == 1) {
                r.first_edge = static_cast<int>(i);
                r.glitches = 0;
            } else if (largest - smallest < r.hysteresis) {
                ++r.glitches;
            }
            largest = 0;
            smallest = 255;
        }
        state = next;
    }
    r.periods = (r.edges - r.glitches) * 0.5 - 0.5;
}

void frequency(const MeasureFrame& frame, ChannelReadings& r) {
    r.frequency_khz = kNoFrequency;
    const int span = trigger_span(frame.time_base, frame.device_model);
    const int distance = r.last_edge - r.first_edge;
    if (r.periods < 0.5 || r.pp <= 2.0 || std::fabs((r.max + r.min) / 2.0 - r.avg) >= r.pp * 0.4) return;
    if (!(frame.time_per_div_ms > 0.0) || distance <= 0 || span <= 0) return;
    r.frequency_khz = span * r.periods * 0.1 / (distance * frame.time_per_div_ms);
}

void volts_text(ReadoutText& t, std::string_view name, double counts, double volts_per_div,
                double counts_per_div) {
    const double v = measure_volts(counts, volts_per_div, counts_per_div);
    t.clear();
    t.append(name).append(" ");
    if (std::fabs(v) >= 1.0) t.append_fixed(v, 3).append(" V");
    else t.append_fixed(v * 1000.0, 1).append(" mV");
}

void frequency_text(ReadoutText& t, std::string_view name, double f) {
    t.clear();
    t.append(name).append(" ");
    if (f >= 1000.0) t.append_fixed(f * 0.001, 3).append(" MHz");
    else if (f >= 1.0) t.append_fixed(f, 3).append(" kHz");
    else if (f > 0.00001) t.append_fixed(f * 1000.0, 3).append(" Hz");
    else t.append("-- Hz");
}

// Position of a time base from fastest (0 = 20 ns/div) to slowest (23 = 1 s/div).
int speed_rank(int time_base) { return time_base >= 17 ? time_base - 17 : time_base + 7; }

bool may_step(int time_base, int direction, int device_model) {
    if (!valid_time_base(time_base)) return false;
    if (direction > 0) return time_base != kSlowestTimeBase;
    const int fastest = kTimeBaseAfterSlowest[static_cast<std::size_t>(bounded_model(device_model))];
    return speed_rank(time_base) > speed_rank(fastest);
}

} // namespace

MeasureFrame measure_frame_from(const Torv& s, int device_model, double counts_per_div) {
    MeasureFrame f;
    f.a_volts_per_div = s.a_volts_per_div;
    f.b_volts_per_div = s.b_volts_per_div;
    f.a_position = s.a_position;
    f.b_position = s.b_position;
    f.time_base = s.time_base;
    f.time_per_div_ms = s.time_per_div_ms;
    f.device_model = device_model;
    f.counts_per_div = counts_per_div;
    return f;
}

void measure_frame(std::span<const MeasureSample> samples, uint32_t frame_length,
                   const MeasureFrame& frame, MeasureResult& out) {
    out.window = window_of(samples, frame_length);
    out.measured = out.window > kMeasureMinWindow;
    if (!out.measured) {
        out.channel = {};
        for (int i = 0; i < kMeasureTexts; ++i) {
            out.texts[static_cast<std::size_t>(i)].clear();
            out.texts[static_cast<std::size_t>(i)].append(kMeasureNames[static_cast<std::size_t>(i)]).append(" ?");
        }
        return;
    }

    const uint32_t pairs = out.window / 2;
    const int positions[2] = {frame.a_position, frame.b_position};
    const double volts_per_div[2] = {frame.a_volts_per_div, frame.b_volts_per_div};
    for (int ch = 0; ch < 2; ++ch) {
        ChannelReadings& r = out.channel[static_cast<std::size_t>(ch)];
        statistics(samples, pairs, ch, positions[ch], r);
        count_edges(samples, pairs, ch, positions[ch], r);
        frequency(frame, r);

        const std::size_t base = ch == 0 ? kAVavg : kBVavg;
        const double readings[5] = {r.avg, r.rms, r.max, r.min, r.pp};
        for (std::size_t k = 0; k < 5; ++k) {
            volts_text(out.texts[base + k], kMeasureNames[base + k], readings[k], volts_per_div[ch],
                       frame.counts_per_div);
        }
        frequency_text(out.texts[base + 5], kMeasureNames[base + 5], r.frequency_khz);
    }
}

TrackingDecision decide_tracking(const MeasureResult& result, std::span<const MeasureSample> samples,
                                 const TrackingInput& in) {
    TrackingDecision d;
    if (!result.measured || in.mode == FrequencyTracking::None) return d;
    if (in.run_mode != RunMode::Auto && in.run_mode != RunMode::Normal && in.run_mode != RunMode::Single) {
        return d;
    }
    if (in.frame_length < in.frame_count / 2) return d;
    const int ch = in.mode == FrequencyTracking::ChannelA ? 0 : 1;
    const std::size_t second_pair = 2 + static_cast<std::size_t>(ch);
    if (second_pair >= samples.size() || samples[second_pair] == kMeasureEndOfData) return d;

    d.active = true;
    d.channel = ch;
    const ChannelReadings& r = result.channel[static_cast<std::size_t>(ch)];
    // Without a frequency there is nothing to follow; stepping on the 1e-6 marker would walk the
    // time base to its slowest end.
    if (r.frequency_valid() && in.time_per_div_ms > 0.0) {
        d.periods_per_div = r.frequency_khz * in.time_per_div_ms;
        if (d.periods_per_div < 0.5 && may_step(in.time_base, +1, in.device_model)) d.time_base_step = 1;
        else if (d.periods_per_div > 1.25 && may_step(in.time_base, -1, in.device_model)) d.time_base_step = -1;
    }
    const int middle = static_cast<int>(127.0 - (r.max + r.min) / 2.0 - in.position);
    if (middle > 131) d.position_delta = (middle - 127) / 3;
    else if (middle < 123) d.position_delta = -((127 - middle) / 3);
    return d;
}

bool apply_tracking(const TrackingDecision& decision, Torv& current, int device_model) {
    if (!decision.active) return false;
    bool changed = false;
    // CurrentSettings may have moved since the pass; the bounds are checked again on it.
    if (decision.time_base_step != 0 && may_step(current.time_base, decision.time_base_step, device_model)) {
        const uint8_t before = current.time_base;
        current.step_time_base(decision.time_base_step, device_model);
        changed = current.time_base != before;
    }
    if (decision.position_delta != 0) {
        int16_t& position = decision.channel == 0 ? current.a_position : current.b_position;
        const auto next = static_cast<int16_t>(
            std::clamp(position + decision.position_delta, -kPositionLimit, kPositionLimit));
        changed = changed || next != position;
        position = next;
    }
    return changed;
}

std::string_view measure_label_text(const MeasureResult& result, int label, int selection_index,
                                    int measure_count) {
    if (label < 0 || label >= measure_count || selection_index < 0 || selection_index >= kMeasureTexts) {
        return kHiddenLabel;
    }
    return result.texts[static_cast<std::size_t>(selection_index)].view();
}

std::string copy_current_measurement(std::string_view label_text) {
    std::string s(label_text);
    std::replace(s.begin(), s.end(), ' ', '\t');
    return s;
}

std::string copy_all_measurements(std::span<const std::string_view, kMeasureTexts> label_texts) {
    std::string s = "\r\n";
    for (std::string_view t : label_texts) {
        s += t;
        s += "\r\n";
    }
    std::replace(s.begin(), s.end(), ' ', '\t');
    return s;
}

} // namespace orv
