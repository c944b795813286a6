// SPDX-License-Identifier: MIT
// The FFT painter; the QGuiApplication comes from the render tests' environment.
#include "render/colour.h"
#include "render/fft_render.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::render;

namespace {

constexpr uint32_t kBg = 0x000000, kA = 0x00FFFF, kB = 0xFFFF00, kCursor = 0x0080FF, kGrid = 0x808080;

QRgb rgb(uint32_t colour) { return to_qcolor(colour).rgb(); }

struct FftFixture : ::testing::Test {
    FftSpectrum spectrum;
    FftRenderJob job;
    QImage image{530, 390, QImage::Format_RGB32};

    FftFixture() {
        job.spectrum = &spectrum;
        job.style.background_colour = kBg;
        job.style.a_colour = kA;
        job.style.b_colour = kB;
        job.style.cursor_colour = kCursor;
        job.style.grid_colour = kGrid;
        job.style.grid_on = false;
        job.style.cursor_on = false;
        job.device_model = 1;
        job.time_base = 12;
    }
    void set(int bin, int16_t a, int16_t b) {
        spectrum.magnitudes[2 * static_cast<std::size_t>(bin)] = a;
        spectrum.magnitudes[2 * static_cast<std::size_t>(bin) + 1] = b;
    }
    QRgb at(int x, int y) const { return image.pixel(x, y); }
};

// Magnitudes far above full scale stop at row 40 (A) and at topB (B); an Area bar runs from the
// baseline up to the clip row.
TEST_F(FftFixture, AreaBarsAreClippedAtTheTopOfTheirPlot) {
    job.style.area = true;
    set(300, 30000, 30000);
    const FftRenderResult r = render_fft(job, image);
    ASSERT_TRUE(r.rendered);
    const FftLayout l = r.layout;
    EXPECT_EQ(l.y_b, 386);
    EXPECT_EQ(l.y_a, 204);
    EXPECT_EQ(l.top_b, 222);
    const int x = fft_bin_x(300, image.width());
    for (int y = 40; y <= l.y_a; ++y) ASSERT_EQ(at(x, y), rgb(kA)) << y;
    for (int y = 0; y < 40; ++y) ASSERT_NE(at(x, y), rgb(kA)) << y;
    for (int y = l.top_b; y <= l.y_b; ++y) ASSERT_EQ(at(x, y), rgb(kB)) << y;
    for (int y = l.y_a + 1; y < l.top_b; ++y) ASSERT_NE(at(x, y), rgb(kB)) << y;
    // The neighbouring bins are empty: their columns hold background only between the frames.
    const int x2 = fft_bin_x(310, image.width());
    EXPECT_EQ(at(x2, 120), rgb(kBg));
}

// In Line mode an empty spectrum (a DC frame: bin 0 is always zero) lies on the baselines.
TEST_F(FftFixture, EmptySpectrumLiesOnTheBaselines) {
    const FftRenderResult r = render_fft(job, image);
    for (int x : {10, 265, 500}) {
        EXPECT_EQ(at(x, r.layout.y_a), rgb(kA)) << x;
        EXPECT_EQ(at(x, r.layout.y_b), rgb(kB)) << x;
        EXPECT_EQ(at(x, r.layout.y_a - 10), rgb(kBg)) << x;
    }
}

// Full height is 250 / volts_scale magnitude units in the Absolute scheme and the channel's sum
// in the Percent scheme.
TEST_F(FftFixture, LineHeightFollowsTheScheme) {
    job.style.area = true;
    set(200, 125, 0);
    spectrum.sum_a = 500;
    const int x = fft_bin_x(200, image.width());
    const FftRenderResult abs = render_fft(job, image);
    const int half = abs.layout.y_a - abs.layout.plot_height() / 2;
    EXPECT_EQ(at(x, half + 1), rgb(kA));
    EXPECT_NE(at(x, half - 1), rgb(kA));
    job.style.scheme = FftScheme::Percent;
    render_fft(job, image);
    const int quarter = abs.layout.y_a - abs.layout.plot_height() / 4;
    EXPECT_EQ(at(x, quarter + 1), rgb(kA));
    EXPECT_NE(at(x, quarter - 2), rgb(kA));
}

// B only: one plot of full height; the cursor column still runs from row 40 to yA (= yB) and
// the A level cursor is not drawn.
TEST_F(FftFixture, BOnlyUsesTheFullHeightWithItsCursors) {
    job.style.display = FftChannelDisplay::BOnly;
    job.style.cursor_on = true;
    job.cx = 100;
    job.cy_a = 150;
    job.cy_b = 300;
    const FftRenderResult r = render_fft(job, image);
    EXPECT_EQ(r.layout.y_a, 386);
    EXPECT_EQ(r.layout.y_b, 386);
    EXPECT_EQ(at(100, 45), rgb(kCursor));
    EXPECT_EQ(at(100, 380), rgb(kCursor));
    EXPECT_EQ(at(400, 300), rgb(kCursor));
    EXPECT_EQ(at(400, 150), rgb(kBg));
    EXPECT_EQ(at(400, 386), rgb(kB));   // the B trace on its baseline
    EXPECT_NE(at(400, 386), rgb(kA));
}

TEST_F(FftFixture, GridAndTwoChannelCursorColumn) {
    job.style.grid_on = true;
    job.style.cursor_on = true;
    job.cx = 77;
    job.cy_a = 100;
    job.cy_b = 300;
    const FftRenderResult r = render_fft(job, image);
    const FftLayout l = r.layout;
    // Vertical grid lines at tenths of the width (dashed: test a run of rows for any hit).
    const auto any_in_column = [&](int x, int y0, int y1, uint32_t c) {
        for (int y = y0; y <= y1; ++y)
            if (at(x, y) == rgb(c)) return true;
        return false;
    };
    EXPECT_TRUE(any_in_column(static_cast<int>(5 * 529 * 0.1), 60, 100, kGrid));
    EXPECT_TRUE(any_in_column(77, 41, l.y_a - 1, kCursor));
    EXPECT_TRUE(any_in_column(77, l.y_a + 19, l.y_b - 1, kCursor));
    // The column skips the band of the B texts.
    EXPECT_FALSE(any_in_column(77, l.y_a + 1, l.y_a + 17, kCursor));
}

TEST_F(FftFixture, DegenerateImagesDrawNothing) {
    for (QImage img : {QImage(), QImage(1, 50, QImage::Format_RGB32)}) {
        EXPECT_FALSE(render_fft(job, img).rendered);
    }
    job.spectrum = nullptr;
    EXPECT_FALSE(render_fft(job, image).rendered);
}

} // namespace
