// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/analysis/measurements.h"
#include "core/analysis/peak_pass.h"

namespace orv {
namespace {

constexpr uint32_t kFull = 6144;

// An interleaved record with channel A from `a(i)` and B from `b(i)`, pair i = 0..pairs-1.
std::vector<uint16_t> record(const std::function<int(int)>& a, const std::function<int(int)>& b,
                             uint32_t entries = kFull) {
    std::vector<uint16_t> r(entries);
    for (uint32_t i = 0; i < entries / 2; ++i) {
        r[2 * i] = static_cast<uint16_t>(a(static_cast<int>(i)));
        r[2 * i + 1] = static_cast<uint16_t>(b(static_cast<int>(i)));
    }
    return r;
}

std::function<int(int)> flat(int code) {
    return [code](int) { return code; };
}

// Square wave: `first` for the first half of each period, `second` for the other half.
std::function<int(int)> square(int first, int second, int period) {
    return [=](int i) { return (i % period) < period / 2 ? first : second; };
}

MeasureFrame frame_at(int time_base, double ms_per_div, int model = 1) {
    MeasureFrame f;
    f.a_volts_per_div = 1.0;
    f.b_volts_per_div = 0.5;
    f.time_base = time_base;
    f.time_per_div_ms = ms_per_div;
    f.device_model = model;
    f.counts_per_div = 25.0;
    return f;
}

MeasureResult measure(const std::vector<uint16_t>& r, const MeasureFrame& f, uint32_t length = kFull) {
    MeasureResult out;
    measure_frame(r, length, f, out);
    return out;
}

TEST(AnalysisMeasurements, FlatSignalAtZeroReadsZeroAndNoFrequency) {
    const auto r = record(flat(127), flat(127));
    const MeasureResult m = measure(r, frame_at(7, 1.0));
    ASSERT_TRUE(m.measured);
    EXPECT_EQ(m.texts[kAVavg], "A: Vavg= 0.0 mV");
    EXPECT_EQ(m.texts[kAVrms], "A: Vrms= 0.0 mV");
    EXPECT_EQ(m.texts[kAVpp], "A: Vpp= 0.0 mV");
    EXPECT_EQ(m.texts[kAFreq], "A: Freq= -- Hz");
    EXPECT_EQ(m.texts[kBFreq], "B: Freq= -- Hz");
    EXPECT_EQ(m.channel[0].pp, 0.0);
}

TEST(AnalysisMeasurements, SquareWaveOf100Counts) {
    // A: 77/177 around the centre, 250 samples a period: 1 kHz at 1 ms/div (2500 samples across).
    // B: the same shape shifted by its position of +20 counts.
    auto r = record(square(77, 177, 250), square(57, 157, 250));
    MeasureFrame f = frame_at(7, 1.0);
    f.b_position = 20;
    const MeasureResult m = measure(r, f);
    for (int ch = 0; ch < 2; ++ch) {
        SCOPED_TRACE(ch);
        const ChannelReadings& c = m.channel[static_cast<std::size_t>(ch)];
        EXPECT_EQ(c.max, 50.0);
        EXPECT_EQ(c.min, -50.0);
        EXPECT_EQ(c.pp, 99.0);
        EXPECT_NEAR(c.hysteresis, 33.333, 1e-3);
        EXPECT_EQ(c.glitches, 0);
        EXPECT_DOUBLE_EQ(c.frequency_khz, 1.0);
    }
    EXPECT_EQ(m.texts[kAVpp], "A: Vpp= 3.960 V");
    EXPECT_EQ(m.texts[kAVmax], "A: Vmax= 2.000 V");
    EXPECT_EQ(m.texts[kAVmin], "A: Vmin= -2.000 V");
    EXPECT_EQ(m.texts[kAFreq], "A: Freq= 1.000 kHz");
    EXPECT_EQ(m.texts[kBVpp], "B: Vpp= 1.980 V");
    EXPECT_EQ(m.texts[kBVmax], "B: Vmax= 1.000 V");
    EXPECT_EQ(m.texts[kBFreq], "B: Freq= 1.000 kHz");
}

TEST(AnalysisMeasurements, AverageAndRmsDivideByTheWholeWindow) {
    // 3072 pairs; the first 1536 at +50 counts, the rest at 0: avg 25, rms sqrt(1250).
    const auto r = record([](int i) { return i < 1536 ? 77 : 127; }, flat(127));
    const MeasureResult m = measure(r, frame_at(7, 1.0));
    EXPECT_DOUBLE_EQ(m.channel[0].avg, 25.0);
    EXPECT_DOUBLE_EQ(m.channel[0].rms, std::sqrt(1250.0));
    EXPECT_EQ(m.texts[kAVavg], "A: Vavg= 1.000 V");
    EXPECT_EQ(m.texts[kAVrms], "A: Vrms= 1.414 V");
}

TEST(AnalysisMeasurements, SmallSwingsAndTheirFrequency) {
    struct Case {
        int low, high;
        double pp;
        bool frequency;
    };
    const Case cases[] = {
        {125, 129, 3.0, true},  // swing 4 is reduced by one
        {126, 129, 3.0, true},  // swing 3 is kept
        {126, 128, 2.0, false}, // p-p must exceed 2 for a frequency
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.high - c.low);
        const auto r = record(square(c.low, c.high, 250), flat(127));
        const MeasureResult m = measure(r, frame_at(7, 1.0));
        EXPECT_EQ(m.channel[0].pp, c.pp);
        EXPECT_EQ(m.channel[0].frequency_valid(), c.frequency);
        if (c.frequency) EXPECT_EQ(m.texts[kAFreq], "A: Freq= 1.000 kHz");
        else EXPECT_EQ(m.texts[kAFreq], "A: Freq= -- Hz");
    }
}

TEST(AnalysisMeasurements, CrossingsWithinTheHysteresisAreGlitches) {
    // The square wave of 100 counts, but every transition wobbles across the mid level first:
    // 135 then 118 (a swing of 17, below the hysteresis of 33) before settling.
    auto a = [](int i) {
        const int phase = i % 250;
        const bool rising = phase < 125; // the first half sits at 77
        const int settle = phase % 125;
        if (i >= 125 && settle < 2) {
            const bool from_low = !rising; // transition into the second half
            if (settle == 0) return from_low ? 135 : 118;
            return from_low ? 118 : 135;
        }
        return rising ? 77 : 177;
    };
    const auto r = record(a, flat(127));
    const MeasureResult m = measure(r, frame_at(7, 1.0));
    const ChannelReadings& c = m.channel[0];
    EXPECT_EQ(c.edges, 72);    // 24 transitions, three crossings each
    EXPECT_EQ(c.glitches, 48); // two of them too small to count
    EXPECT_DOUBLE_EQ(c.periods, 11.5);
    EXPECT_NEAR(c.frequency_khz, 1.0, 0.001);
}

TEST(AnalysisMeasurements, SineFrequencyAtBlockAndRollTimeBases) {
    // 250 samples a period over 12 whole periods (6000 entries).
    auto sine = [](int i) { return static_cast<int>(std::sin(6.283185307179586 * i / 250.0) * 100.0 + 127.0); };
    const auto r = record(sine, flat(127), 6000);
    struct Case {
        int time_base;
        double ms_per_div;
        const char* text;
    };
    const Case cases[] = {
        {7, 1.0, "A: Freq= 1.000 kHz"},     // 1 ms/div, whole frames
        {13, 100.0, "A: Freq= 10.000 Hz"},  // 100 ms/div, streamed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time_base);
        const MeasureResult m = measure(r, frame_at(c.time_base, c.ms_per_div), 6000);
        EXPECT_EQ(m.texts[kAFreq], c.text);
    }
}

TEST(AnalysisMeasurements, WindowOfTenValuesOrFewerShowsQuestionMarks) {
    const auto r = record(square(77, 177, 4), flat(127), 64);
    for (uint32_t length : {0u, 10u}) {
        const MeasureResult m = measure(r, frame_at(7, 1.0), length);
        EXPECT_FALSE(m.measured);
        EXPECT_EQ(m.texts[kAVavg], "A: Vavg= ?");
        EXPECT_EQ(m.texts[kBFreq], "B: Freq= ?");
    }
    // Eleven values are more than ten: five whole pairs are measured.
    for (uint32_t length : {11u, 12u}) EXPECT_TRUE(measure(r, frame_at(7, 1.0), length).measured) << length;
}

TEST(AnalysisMeasurements, WindowStopsAtEndOfDataAndAtTheRecord) {
    // A record filled to 1000 pairs and cleared (256) after them measures those 1000 pairs only.
    auto r = record([](int i) { return i < 1000 ? 77 : 256; }, [](int i) { return i < 1000 ? 127 : 256; });
    MeasureResult m = measure(r, frame_at(7, 1.0));
    EXPECT_EQ(m.window, 2000u);
    EXPECT_EQ(m.texts[kAVavg], "A: Vavg= 2.000 V");
    EXPECT_EQ(m.texts[kAVmin], "A: Vmin= 2.000 V");

    // A filled count larger than the record reads only the record.
    const auto shorter = record(flat(77), flat(127), 100);
    m = measure(shorter, frame_at(7, 1.0), kFull);
    EXPECT_EQ(m.window, 100u);
}

TEST(AnalysisMeasurements, NoFrequencyWithoutAValidTimeBase) {
    const auto r = record(square(77, 177, 250), flat(127));
    for (double ms : {0.0, -1.0}) {
        const MeasureResult m = measure(r, frame_at(7, ms));
        EXPECT_EQ(m.texts[kAFreq], "A: Freq= -- Hz");
    }
}

TEST(AnalysisMeasurements, FrequencyUnitsFollowTheValue) {
    struct Case {
        int period, time_base;
        double ms_per_div;
        const char* text;
    };
    const Case cases[] = {
        {8, 0, 0.005, "A: Freq= 6.250 MHz"},   // 20 ns a sample
        {250, 16, 1000.0, "A: Freq= 1.000 Hz"}, // 4 ms a sample
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = record(square(77, 177, c.period), flat(127));
        EXPECT_EQ(measure(r, frame_at(c.time_base, c.ms_per_div)).texts[kAFreq], c.text);
    }
}

// --- frequency tracking ------------------------------------------------------------------------

TrackingInput tracking_at(const MeasureFrame& f, FrequencyTracking mode = FrequencyTracking::ChannelA) {
    TrackingInput in;
    in.mode = mode;
    in.run_mode = RunMode::Auto;
    in.frame_length = kFull;
    in.frame_count = kFull;
    in.time_base = f.time_base;
    in.time_per_div_ms = f.time_per_div_ms;
    in.device_model = f.device_model;
    return in;
}

TEST(AnalysisTracking, StepsTowardsOneToOnePeriodPerDivision) {
    struct Case {
        int period;  // samples; 2500 samples span 10 divisions at 1 ms/div
        int step;
    };
    const Case cases[] = {
        {625, +1},  // 0.4 periods per division: slower
        {192, -1},  // 1.3 periods per division: faster
        {250, 0},   // 1.0: stays
    };
    const MeasureFrame f = frame_at(7, 1.0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.period);
        const auto r = record(square(77, 177, c.period), flat(127));
        const MeasureResult m = measure(r, f);
        const TrackingDecision d = decide_tracking(m, r, tracking_at(f));
        EXPECT_TRUE(d.active);
        EXPECT_EQ(d.time_base_step, c.step);
        EXPECT_EQ(d.position_delta, 0);
    }
}

TEST(AnalysisTracking, CorrectsThePositionOfAnOffCentreSignal) {
    // Centred on code 137, 10 codes below mid-screen: raise the position by 10/3 = 3 counts.
    // Centred on code 117 (above): lower it by 3. Channel B tracked with its own position.
    const MeasureFrame f = frame_at(7, 1.0);
    const auto r = record(square(87, 187, 250), square(67, 167, 250));
    const MeasureResult m = measure(r, f);
    EXPECT_EQ(decide_tracking(m, r, tracking_at(f)).position_delta, 3);
    EXPECT_EQ(decide_tracking(m, r, tracking_at(f, FrequencyTracking::ChannelB)).position_delta, -3);

    Torv current;
    current.time_base = 7;
    current.a_position = 125;
    TrackingDecision d = decide_tracking(m, r, tracking_at(f));
    EXPECT_TRUE(apply_tracking(d, current, 1));
    EXPECT_EQ(current.a_position, 126); // clamped
    EXPECT_EQ(current.time_base, 7);
}

TEST(AnalysisTracking, RunsOnlyWhenTheFrameQualifies) {
    const MeasureFrame f = frame_at(7, 1.0);
    const auto r = record(square(77, 177, 625), flat(127));
    const MeasureResult m = measure(r, f);

    auto with = [&](auto change) {
        TrackingInput in = tracking_at(f);
        change(in);
        return decide_tracking(m, r, in).active;
    };
    EXPECT_TRUE(with([](TrackingInput&) {}));
    EXPECT_TRUE(with([](TrackingInput& in) { in.run_mode = RunMode::Single; }));
    EXPECT_FALSE(with([](TrackingInput& in) { in.mode = FrequencyTracking::None; }));
    EXPECT_FALSE(with([](TrackingInput& in) { in.run_mode = RunMode::Hold; }));
    EXPECT_FALSE(with([](TrackingInput& in) { in.run_mode = RunMode::Demo; }));
    EXPECT_FALSE(with([](TrackingInput& in) { in.frame_length = kFull / 2 - 1; }));

    auto cleared = r;
    cleared[2] = 256; // the second pair of A not yet filled
    EXPECT_FALSE(decide_tracking(m, cleared, tracking_at(f)).active);
    EXPECT_TRUE(decide_tracking(m, cleared, tracking_at(f, FrequencyTracking::ChannelB)).active);
}

TEST(AnalysisTracking, NeverStepsPastTheEndsOfTheTimeBaseWalk) {
    // Without a frequency nothing is stepped (the marker would read as "too slow").
    MeasureResult flat_result;
    {
        const auto r = record(flat(127), flat(127));
        measure_frame(r, kFull, frame_at(7, 1.0), flat_result);
    }
    const auto dummy = record(flat(127), flat(127));
    EXPECT_EQ(decide_tracking(flat_result, dummy, tracking_at(frame_at(7, 1.0))).time_base_step, 0);

    struct Case {
        int time_base, model;
        double periods_per_div;
        int step;
    };
    const Case cases[] = {
        {16, 1, 0.4, 0},   // 1 s/div is the slowest; +1 would wrap to 20 ns/div
        {15, 1, 0.4, +1},
        {17, 0, 1.3, 0},   // 20 ns/div is model 0's fastest; -1 would wrap to 1 s/div
        {18, 0, 1.3, -1},
        {19, 3, 1.3, 0},   // model 3 stops at 100 ns/div
        {0, 3, 1.3, -1},   // 5 us/div -> 2 us/div
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time_base << " model " << c.model);
        MeasureResult m;
        m.measured = true;
        m.channel[0].frequency_khz = c.periods_per_div; // at 1 ms/div
        MeasureFrame f = frame_at(c.time_base, 1.0, c.model);
        EXPECT_EQ(decide_tracking(m, dummy, tracking_at(f)).time_base_step, c.step);
    }
}

TEST(AnalysisTracking, ApplyRechecksTheCurrentTimeBase) {
    TrackingDecision slower;
    slower.active = true;
    slower.time_base_step = +1;
    Torv current;
    current.time_base = 7;
    EXPECT_TRUE(apply_tracking(slower, current, 1));
    EXPECT_EQ(current.time_base, 8);

    // The user turned the knob to 1 s/div since the pass: the stale step must not wrap.
    current.time_base = 16;
    EXPECT_FALSE(apply_tracking(slower, current, 1));
    EXPECT_EQ(current.time_base, 16);
}

// --- panel and clipboard -----------------------------------------------------------------------

TEST(AnalysisMeasurements, CopyAllWithFourLabelsShown) {
    const auto r = record(flat(127), flat(127));
    const MeasureResult m = measure(r, frame_at(7, 1.0));
    std::array<std::string_view, kMeasureTexts> labels;
    for (int i = 0; i < kMeasureTexts; ++i) labels[static_cast<std::size_t>(i)] = measure_label_text(m, i, i, 4);

    const std::string all = copy_all_measurements(labels);
    const std::string blank_line = "\t\t\t\t\t\t\r\n";
    std::string expected = "\r\nA:\tVavg=\t0.0\tmV\r\nA:\tVrms=\t0.0\tmV\r\nA:\tVmax=\t0.0\tmV\r\nA:\tVmin=\t0.0\tmV\r\n";
    for (int i = 0; i < 8; ++i) expected += blank_line;
    EXPECT_EQ(all, expected);

    EXPECT_EQ(copy_current_measurement(m.texts[kAFreq].view()), "A:\tFreq=\t--\tHz");
}

TEST(AnalysisMeasurements, LabelsShowTheirSelection) {
    const auto r = record(square(77, 177, 250), flat(127));
    const MeasureResult m = measure(r, frame_at(7, 1.0));
    EXPECT_EQ(measure_label_text(m, 0, kAFreq, 12), "A: Freq= 1.000 kHz");
    EXPECT_EQ(measure_label_text(m, 5, kAFreq, 5), "      ");  // beyond the count shown
    EXPECT_EQ(measure_label_text(m, 0, 12, 12), "      ");    // a selection out of range
}

TEST(AnalysisPeakPass, OneJobGivesTextsDecisionAndMeter) {
    // A job as the hand-off fills it: a 1 kHz square wave centred 10 codes below mid-screen on A.
    FrameJob job;
    const auto r = record(square(87, 187, 250), flat(127));
    std::copy(r.begin(), r.end(), job.samples.get());
    job.frame_length = kFull;
    job.device_model = 1;
    job.counts_per_div = 25.0;
    job.frame_settings.time_base = 7;
    job.frame_settings.time_per_div_ms = 1.0;
    job.frame_settings.a_volts_per_div = 1.0;
    job.frame_settings.b_volts_per_div = 1.0;
    job.current_settings.run_mode = RunMode::Normal;
    job.prefs.meter_ra = 1;
    job.prefs.meter_ra_unit = 1;  // 1 K
    job.prefs.meter_rb = 0;       // typed 0: read as 1000 ohms

    PeakPassOutput out;
    run_peak_pass(job, {FrequencyTracking::ChannelA, kFull, true}, out);
    EXPECT_EQ(out.measure.texts[kAFreq], "A: Freq= 1.000 kHz");
    EXPECT_TRUE(out.tracking.active);
    EXPECT_EQ(out.tracking.time_base_step, 0);
    EXPECT_EQ(out.tracking.position_delta, 3);
    ASSERT_TRUE(out.meter_updated);
    EXPECT_EQ(out.meter.va, "Va =  1.600  V");   // pair 5 sits at 87: 40 counts
    EXPECT_EQ(out.meter.ia, " Ia =  1.600  mA");
    EXPECT_EQ(out.meter.ib, " Ib =  0.000  uA");

    run_peak_pass(job, {FrequencyTracking::None, kFull, false}, out);
    EXPECT_FALSE(out.tracking.active);
    EXPECT_FALSE(out.meter_updated);
}

} // namespace
} // namespace orv
