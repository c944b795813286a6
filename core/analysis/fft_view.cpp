// SPDX-License-Identifier: MIT
#include "core/analysis/fft_view.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/analysis/fft.h"
#include "core/scope/tables.h"

namespace orv {
namespace {

// Time bases 3..11 sample at the same rate on every model.
constexpr std::array<double, 9> kCommonRates{5, 2.5, 1.25, 0.5, 0.25, 0.125, 0.05, 0.025, 0.0125};
constexpr double kRollRate = 0.025; // time bases 12..16, before decimation

struct ModelRates {
    double tb0, tb1, tb2, fast, tb23; // fast: time bases 17..22
};
constexpr std::array<ModelRates, kModels> kModelRates{{
    {50, 25, 12.5, 200, 100},
    {50, 25, 12.5, 100, 100},
    {30, 15, 10, 60, 60},
    {20, 20, 10, 20, 20},
    {40, 20, 10, 40, 40},
    {37.5, 25, 12.5, 150, 150},
}};

} // namespace

double fft_sampling_rate_msps(int device_model, int time_base) {
    const ModelRates& r = kModelRates[static_cast<std::size_t>(bounded_model(device_model))];
    if (!valid_time_base(time_base)) time_base = kFallbackTimeBase;
    if (time_base == 0) return r.tb0;
    if (time_base == 1) return r.tb1;
    if (time_base == 2) return r.tb2;
    if (time_base <= 11) return kCommonRates[static_cast<std::size_t>(time_base - 3)];
    if (time_base <= 16) return kRollRate;
    if (time_base <= 22) return r.fast;
    return r.tb23;
}

double fft_span_khz(int device_model, int time_base) {
    return fft_sampling_rate_msps(device_model, time_base) * 1000.0 / decimation_step(time_base, device_model);
}

void append_fft_frequency(ReadoutText& t, double khz, int decimals) {
    if (khz >= 1000.0) t.append_fixed(khz / 1000.0, decimals).append("MHz");
    else if (khz >= 1.0) t.append_fixed(khz, decimals).append("KHz");
    else t.append_fixed(khz * 1000.0, decimals).append("Hz");
}

ReadoutText fft_scale_text(int device_model, int time_base) {
    ReadoutText t("Scale: Frequency=");
    append_fft_frequency(t, fft_span_khz(device_model, time_base) / 10.0, 2);
    t.append("/Div");
    return t;
}

ReadoutText fft_cursor_text(int cx, int width, double span_khz) {
    ReadoutText t("Cursor: Frequency=");
    const double f = width > 1 ? cx * span_khz / (width - 1) : 0.0;
    append_fft_frequency(t, f, 3);
    return t;
}

FftLayout fft_layout(int height, FftChannelDisplay display) {
    FftLayout l;
    l.y_b = height - 4;
    if (display == FftChannelDisplay::Both) {
        l.y_a = (l.y_b - 58) / 2 + kFftTextRows;
        l.top_b = l.y_b - (l.y_a - kFftTextRows);
    } else {
        l.y_a = l.y_b;
        l.top_b = kFftTextRows;
    }
    return l;
}

int fft_bin_x(int bin, int width) {
    return static_cast<int>(2.0 * bin * ((width - 1) / static_cast<double>(kFftPoints)));
}

double fft_full_scale(FftScheme scheme, double sum, double volts_scale) {
    const double s = scheme == FftScheme::Absolute ? kFftAbsoluteFullScale / volts_scale : sum;
    return (s < 1.0 || std::isnan(s)) ? 1.0 : s;
}

int fft_magnitude_row(int magnitude, int baseline, int top, double pixels_per_unit) {
    return std::max(static_cast<int>(baseline - magnitude * pixels_per_unit), top);
}

ReadoutText fft_scale_label(char channel, FftScheme scheme, double volts_per_div) {
    ReadoutText t;
    const char head[] = {channel, ' ', ':', ' '};
    t.append({head, sizeof head});
    if (scheme == FftScheme::Percent) return t.append("20%/Div");
    const double v = 2.0 * volts_per_div;
    if (v >= 1.0) t.append_fixed(v, 3).append("V/Div");
    else t.append_fixed(v * 1000.0, 1).append("mV/Div");
    return t;
}

ReadoutText fft_level_text(char channel, FftScheme scheme, double volts_per_div, int baseline, int row,
                           int plot_height) {
    ReadoutText t;
    const char head[] = {channel, ' ', '=', ' '};
    t.append({head, sizeof head});
    const double fraction = plot_height > 0 ? static_cast<double>(baseline - row) / plot_height : 0.0;
    if (scheme == FftScheme::Percent) return t.append_fixed(100.0 * fraction, 1).append("%");
    const double v = 10.0 * volts_per_div * fraction;
    if (v >= 1.0) t.append_fixed(v, 3).append("V");
    else t.append_fixed(v * 1000.0, 1).append("mV");
    return t;
}

} // namespace orv
