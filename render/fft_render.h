// SPDX-License-Identifier: MIT
// The FFT view painter: a pure function of the job (spectrum, view preferences, frame scale and
// cursor pixels) and the image. It publishes the layout it drew with, which the cursor handling
// of the window needs.
#pragma once

#include <cstdint>

#include "core/analysis/fft.h"
#include "core/analysis/fft_view.h"

class QImage;

namespace orv {
struct UserPrefs;
}

namespace orv::render {

// The view preferences the painter reads.
struct FftViewStyle {
    uint32_t background_colour = 0x000000;
    uint32_t a_colour = 0x00FFFF;
    uint32_t b_colour = 0xFFFF00;
    uint32_t cursor_colour = 0x0080FF;
    uint32_t grid_colour = 0x808080;
    FftChannelDisplay display = FftChannelDisplay::Both;
    bool cursor_on = true;
    bool grid_on = true;
    int grid_draw_mode = 0;   // 0 solid, anything else dash
    int cursor_draw_mode = 0; // 0 solid, anything else dash
    FftScheme scheme = FftScheme::Absolute;
    bool area = false;        // display mode 1: one bar per bin instead of a line
};
FftViewStyle fft_style_from(const orv::UserPrefs& prefs);

struct FftRenderJob {
    const FftSpectrum* spectrum = nullptr;
    FftViewStyle style;
    int device_model = 1;
    int time_base = 0;           // FrameSettings
    double a_volts_per_div = 1.0;
    double b_volts_per_div = 1.0;
    double volts_scale = 1.0;
    int cx = 0;                  // cursor column
    int cy_a = 0;                // A level row
    int cy_b = 0;                // B level row
};

struct FftRenderResult {
    bool rendered = false;
    FftLayout layout;
};

// Draws into `image` as it is (the caller sizes it); nothing is drawn below 2 x 2 pixels.
FftRenderResult render_fft(const FftRenderJob& job, QImage& image);

} // namespace orv::render
