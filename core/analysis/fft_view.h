// SPDX-License-Identifier: MIT
// The numbers and texts of the FFT view that need no painter: the frequency span, the layout of
// the two plots, the vertical scale and the read-outs. The painter draws with these.
#pragma once

#include "core/analysis/readout_text.h"

namespace orv {

inline constexpr int kFftTextRows = 40;      // rows 0..39 hold the texts
inline constexpr int kFftBTextBand = 18;     // rows between the A plot and the B plot
inline constexpr double kFftAbsoluteFullScale = 250.0; // magnitude of full height at volts_scale 1

enum class FftChannelDisplay : int { Both = 0, AOnly = 1, BOnly = 2 };
enum class FftScheme : int { Absolute = 0, Percent = 1 };

// Sampling rate in MS/s of a model (0..5) at a time base (0..23); the view's own table.
double fft_sampling_rate_msps(int device_model, int time_base);
// Frequency at the right edge of the plot, in kHz: rate x 1000 / decimation step.
double fft_span_khz(int device_model, int time_base);

// A frequency given in kHz: "MHz" from 1000 kHz, "KHz" from 1 kHz, else "Hz".
void append_fft_frequency(ReadoutText& t, double khz, int decimals);
// "Scale: Frequency=250.00Hz/Div".
ReadoutText fft_scale_text(int device_model, int time_base);
// "Cursor: Frequency=..." for the cursor column `cx` of an image `width` pixels wide.
ReadoutText fft_cursor_text(int cx, int width, double span_khz);

struct FftLayout {
    int y_a = 0;    // baseline of the A plot
    int y_b = 0;    // baseline of the B plot
    int top_b = 0;  // top row of the B plot
    int plot_height() const { return y_a - kFftTextRows; } // both plots use this height
};
FftLayout fft_layout(int height, FftChannelDisplay display);

// Column of bin k (0..1024) in an image `width` pixels wide.
int fft_bin_x(int bin, int width);

// Magnitude units of full height: 250 / volts_scale (Absolute) or the channel's sum (Percent),
// never below 1.
double fft_full_scale(FftScheme scheme, double sum, double volts_scale);
// Row of a magnitude above `baseline`, clipped at `top`.
int fft_magnitude_row(int magnitude, int baseline, int top, double pixels_per_unit);

// "A : 10.000V/Div" (two divisions of the time-domain view per FFT division) or "A : 20%/Div".
ReadoutText fft_scale_label(char channel, FftScheme scheme, double volts_per_div);
// "A = 1.250V" / "A = 250.0mV" / "A = 50.0%": the level of cursor row `row` above `baseline`.
ReadoutText fft_level_text(char channel, FftScheme scheme, double volts_per_div, int baseline, int row,
                           int plot_height);

} // namespace orv
