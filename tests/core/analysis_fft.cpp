// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

#include "core/analysis/fft.h"
#include "core/analysis/fft_view.h"

namespace orv {
namespace {

constexpr int N = kFftPoints;

// The transform exactly as the view has always defined it: radix 2, decimation in time, out of
// place between two arrays, twiddle index from a recursively built bit-reversal table.
std::vector<double> plain_magnitudes(const std::vector<double>& x) {
    constexpr int n = 11;
    std::vector<int> table(N);
    auto visit = [&](auto&& self, int index, int value, int k) -> void {
        table[static_cast<std::size_t>(index)] = value;
        for (int b = k; b >= 1; --b) self(self, index | (1 << (b - 1)), value | (1 << (n - b)), b - 1);
    };
    visit(visit, 0, 0, n);
    std::vector<std::complex<double>> p(x.begin(), x.end()), q(N);
    for (int s = 1; s <= n; ++s) {
        const int m = 1 << (n - s);
        for (int u = 0; u < N; ++u) {
            const int r = table[static_cast<std::size_t>(u >> (n - s))];
            const double theta = r * 6.2831852 / N;
            q[static_cast<std::size_t>(u)] = p[static_cast<std::size_t>(u & ~m)] +
                                             std::polar(1.0, theta) * p[static_cast<std::size_t>(u | m)];
        }
        std::swap(p, q);
    }
    std::vector<double> mag(N / 2);
    for (int k = 0; k < N / 2; ++k) mag[static_cast<std::size_t>(k)] = std::abs(p[static_cast<std::size_t>(table[static_cast<std::size_t>(k)])]) / (N * 0.5);
    return mag;
}

// The textbook DFT with an exact 2 pi, in long double.
std::vector<double> direct_magnitudes(const std::vector<double>& x) {
    constexpr long double two_pi = 6.283185307179586476925286766559L;
    std::vector<double> mag(N / 2);
    for (int k = 0; k < N / 2; ++k) {
        long double re = 0, im = 0;
        for (int t = 0; t < N; ++t) {
            const long double theta = two_pi * ((static_cast<long>(k) * t) % N) / N;
            re += x[static_cast<std::size_t>(t)] * std::cos(theta);
            im += x[static_cast<std::size_t>(t)] * std::sin(theta);
        }
        mag[static_cast<std::size_t>(k)] = static_cast<double>(std::sqrt(re * re + im * im) / (N * 0.5L));
    }
    return mag;
}

struct Frame {
    std::vector<double> a, b;
    std::vector<uint16_t> record;
};

Frame make_frame(const std::function<int(int)>& fa, const std::function<int(int)>& fb) {
    Frame f{std::vector<double>(N), std::vector<double>(N), std::vector<uint16_t>(2 * N)};
    for (int t = 0; t < N; ++t) {
        const int a = fa(t), b = fb(t);
        f.a[static_cast<std::size_t>(t)] = a;
        f.b[static_cast<std::size_t>(t)] = b;
        f.record[2 * static_cast<std::size_t>(t)] = static_cast<uint16_t>(a);
        f.record[2 * static_cast<std::size_t>(t) + 1] = static_cast<uint16_t>(b);
    }
    return f;
}

// Our magnitude may differ from the truncated reference by one only where the reference lies
// within 1e-4 of an integer.
void expect_matches(const FftSpectrum& s, const std::vector<double>& ra, const std::vector<double>& rb) {
    for (int k = 1; k < N / 2; ++k) {
        for (int ch = 0; ch < 2; ++ch) {
            const double ref = (ch == 0 ? ra : rb)[static_cast<std::size_t>(k)];
            const int ours = ch == 0 ? s.a(k) : s.b(k);
            const int expected = static_cast<int>(ref);
            if (ours == expected) continue;
            const bool near_integer = std::fabs(ref - std::round(ref)) < 1e-4;
            EXPECT_TRUE(near_integer && std::abs(ours - expected) == 1)
                << "bin " << k << " channel " << ch << ": " << ours << " vs " << ref;
        }
    }
}

TEST(AnalysisFft, MatchesTheDescribedTransformOnRandomFrames) {
    std::mt19937 rng(5800);
    std::uniform_int_distribution<int> code(0, 255);
    FftEngine engine;
    FftSpectrum s;
    for (int frame = 0; frame < 8; ++frame) {
        SCOPED_TRACE(frame);
        const Frame f = make_frame([&](int) { return code(rng); }, [&](int) { return code(rng); });
        const auto ra = plain_magnitudes(f.a);
        const auto rb = plain_magnitudes(f.b);

        engine.transform(f.a.data(), f.b.data());
        for (int k = 0; k < N / 2; ++k) {
            ASSERT_NEAR(engine.unscaled(0, k), ra[static_cast<std::size_t>(k)], 1e-4) << k;
            ASSERT_NEAR(engine.unscaled(1, k), rb[static_cast<std::size_t>(k)], 1e-4) << k;
        }
        engine.compute(f.record, static_cast<uint32_t>(f.record.size()), s);
        expect_matches(s, ra, rb);
    }
}

TEST(AnalysisFft, MatchesTheDirectDftOnFullScaleSignals) {
    // Full-scale shapes put the most weight on the twiddles: a sawtooth over all codes on A and a
    // square wave between 0 and 255 on B.
    const Frame f = make_frame([](int t) { return t % 256; }, [](int t) { return (t & 64) ? 255 : 0; });
    FftEngine engine;
    FftSpectrum s;
    engine.compute(f.record, static_cast<uint32_t>(f.record.size()), s);
    expect_matches(s, direct_magnitudes(f.a), direct_magnitudes(f.b));
    EXPECT_EQ(s.b(16), 162); // the fundamental of the square wave: 255 / 2 x 4 / pi
}

TEST(AnalysisFft, DcAndEdgeBinsReadZero) {
    FftEngine engine;
    FftSpectrum s;
    const Frame dc = make_frame([](int) { return 200; }, [](int) { return 0; });
    engine.compute(dc.record, static_cast<uint32_t>(dc.record.size()), s);
    for (int k = 0; k < kFftBins; ++k) {
        ASSERT_EQ(s.a(k), 0) << k;
        ASSERT_EQ(s.b(k), 0) << k;
    }
    EXPECT_EQ(s.sum_a, 0.0);
    EXPECT_EQ(fft_full_scale(FftScheme::Percent, s.sum_a, 1.0), 1.0); // an empty spectrum scales by 1

    // Alternating codes put everything into bin 1024, which the view always draws at zero.
    const Frame nyquist = make_frame([](int t) { return t % 2 ? 255 : 0; }, [](int) { return 127; });
    engine.compute(nyquist.record, static_cast<uint32_t>(nyquist.record.size()), s);
    EXPECT_EQ(s.a(1024), 0);
    EXPECT_EQ(s.sum_a, 0.0);
}

TEST(AnalysisFft, PercentSumsCoverBinsOneTo1023) {
    // Two tones on A (bins 64 and 300), one on B (bin 100).
    auto tone = [](int t, int bin, double amplitude) { return amplitude * std::sin(2 * std::numbers::pi * bin * t / N); };
    const Frame f = make_frame(
        [&](int t) { return static_cast<int>(127.5 + tone(t, 64, 60) + tone(t, 300, 40)); },
        [&](int t) { return static_cast<int>(127.5 + tone(t, 100, 100)); });
    FftEngine engine;
    FftSpectrum s;
    engine.compute(f.record, static_cast<uint32_t>(f.record.size()), s);
    double sum_a = 0, sum_b = 0;
    for (int k = 1; k < 1024; ++k) {
        sum_a += s.a(k);
        sum_b += s.b(k);
    }
    EXPECT_EQ(s.sum_a, sum_a);
    EXPECT_EQ(s.sum_b, sum_b);
    EXPECT_NEAR(s.a(64), 60, 1);
    EXPECT_NEAR(s.a(300), 40, 1);
    EXPECT_NEAR(s.b(100), 100, 1);
    EXPECT_GE(s.a(64) + s.a(300), sum_a - 5); // truncation leaves little else
}

TEST(AnalysisFft, EntriesBeyondTheRecordReadAsEndOfData) {
    // A record of 1000 entries equals a full one whose remaining entries are 256.
    std::vector<uint16_t> full(2 * N, 256);
    std::mt19937 rng(7);
    for (int i = 0; i < 1000; ++i) full[static_cast<std::size_t>(i)] = static_cast<uint16_t>(rng() % 256);
    const std::vector<uint16_t> shorter(full.begin(), full.begin() + 1000);

    FftEngine engine;
    FftSpectrum from_full, from_short, from_valid;
    engine.compute(full, static_cast<uint32_t>(full.size()), from_full);
    engine.compute(shorter, 4096, from_short);
    engine.compute(full, 1000, from_valid);
    EXPECT_EQ(from_short.magnitudes, from_full.magnitudes);
    EXPECT_EQ(from_valid.magnitudes, from_full.magnitudes);
}

TEST(AnalysisFftView, FrequencyTexts) {
    EXPECT_EQ(fft_scale_text(0, 12), "Scale: Frequency=250.00Hz/Div");  // 2.5 kHz span
    EXPECT_EQ(fft_scale_text(0, 0), "Scale: Frequency=2.50MHz/Div");    // 25000 kHz span
    EXPECT_EQ(fft_scale_text(1, 7), "Scale: Frequency=12.50KHz/Div");   // 0.25 MS/s
    EXPECT_EQ(fft_scale_text(2, 16), "Scale: Frequency=12.50Hz/Div");   // 0.025 MS/s, step 200

    const double span = fft_span_khz(1, 7); // 125 kHz
    EXPECT_EQ(fft_cursor_text(0, 501, span), "Cursor: Frequency=0.000Hz");
    EXPECT_EQ(fft_cursor_text(2, 501, span), "Cursor: Frequency=500.000Hz");
    EXPECT_EQ(fft_cursor_text(500, 501, span), "Cursor: Frequency=125.000KHz");
    EXPECT_EQ(fft_cursor_text(400, 501, fft_span_khz(0, 17)), "Cursor: Frequency=80.000MHz");

    struct Rate {
        int model, time_base;
        double msps;
    };
    for (const Rate& r : {Rate{0, 0, 50}, Rate{5, 0, 37.5}, Rate{3, 1, 20}, Rate{4, 11, 0.0125},
                          Rate{0, 22, 200}, Rate{0, 23, 100}, Rate{2, 23, 60}}) {
        EXPECT_EQ(fft_sampling_rate_msps(r.model, r.time_base), r.msps) << r.model << "/" << r.time_base;
    }
}

TEST(AnalysisFftView, LayoutScalesAndLevels) {
    const FftLayout both = fft_layout(390, FftChannelDisplay::Both);
    EXPECT_EQ(both.y_b, 386);
    EXPECT_EQ(both.y_a, 204);
    EXPECT_EQ(both.top_b, 222); // the 18-row band for the B texts
    const FftLayout b_only = fft_layout(390, FftChannelDisplay::BOnly);
    EXPECT_EQ(b_only.y_a, 386);
    EXPECT_EQ(b_only.top_b, 40);

    EXPECT_EQ(fft_scale_label('A', FftScheme::Absolute, 0.5), "A : 1.000V/Div");
    EXPECT_EQ(fft_scale_label('B', FftScheme::Absolute, 0.2), "B : 400.0mV/Div");
    EXPECT_EQ(fft_scale_label('A', FftScheme::Percent, 0.5), "A : 20%/Div");

    // Half the plot height: five divisions of 2 x volts/div, or 50 %.
    EXPECT_EQ(fft_level_text('A', FftScheme::Absolute, 0.5, 204, 122, 164), "A = 2.500V");
    EXPECT_EQ(fft_level_text('B', FftScheme::Absolute, 0.05, 386, 304, 164), "B = 250.0mV");
    EXPECT_EQ(fft_level_text('B', FftScheme::Percent, 0.05, 386, 304, 164), "B = 50.0%");

    // Full height is a magnitude of 250 / volts_scale; more is clipped at the top row.
    const double per_unit = both.plot_height() / fft_full_scale(FftScheme::Absolute, 0, 1.0);
    EXPECT_EQ(fft_magnitude_row(250, both.y_a, 40, per_unit), 40);
    EXPECT_EQ(fft_magnitude_row(400, both.y_a, 40, per_unit), 40);
    EXPECT_EQ(fft_bin_x(1024, 501), 500);
    EXPECT_EQ(fft_bin_x(512, 501), 250);
}

} // namespace
} // namespace orv
