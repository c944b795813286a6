// SPDX-License-Identifier: MIT
#include "render/raster_lines.h"

#include <gtest/gtest.h>

#include <vector>

using orv::render::LineRaster;
using orv::render::LineStyle;

namespace {

constexpr uint32_t kInk = 0xFFFFFFFFu;

// The image sits inside a one-pixel guard frame: ink on the frame is a write outside the image.
struct Canvas {
    int w, h, stride;
    std::vector<uint32_t> px;
    Canvas(int width, int height)
        : w(width), h(height), stride(width + 2), px(static_cast<std::size_t>((width + 2) * (height + 2)), 0) {}
    LineRaster raster() { return LineRaster(px.data() + stride + 1, w, h, stride); }
    uint32_t& pixel(int x, int y) { return px[static_cast<std::size_t>((y + 1) * stride + x + 1)]; }
    bool at(int x, int y) const { return px[static_cast<std::size_t>((y + 1) * stride + x + 1)] == kInk; }
    int count() const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) n += at(x, y);
        return n;
    }
    int outside() const {
        int all = 0;
        for (uint32_t p : px) all += p == kInk;
        return all - count();
    }
};

TEST(LineRaster, CoversTheFirstPointNotTheLast) {
    Canvas c(10, 10);
    LineRaster r = c.raster();
    r.set_pen(kInk, LineStyle::Solid);
    r.line(1, 1, 6, 1);
    r.line(8, 8, 8, 3);
    EXPECT_TRUE(c.at(1, 1));
    EXPECT_TRUE(c.at(5, 1));
    EXPECT_FALSE(c.at(6, 1));
    EXPECT_TRUE(c.at(8, 8));
    EXPECT_FALSE(c.at(8, 3));
    EXPECT_EQ(c.count(), 10);
    // A point-sized line draws nothing; a line without a start only sets the pen.
    r.line(3, 5, 3, 5);
    r.forget_position();
    r.line_to(4, 4);
    EXPECT_EQ(c.count(), 10);
}

// Every step of the whole line, nearest pixel, no clipping arithmetic.
Canvas naive(int w, int h, int x0, int y0, int x1, int y1, LineStyle style) {
    Canvas c(w, h);
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t steps = adx > ady ? adx : ady;
    for (int64_t i = 0; i < steps; ++i) {
        const bool on = style == LineStyle::Solid || (style == LineStyle::Dash ? i % 6 < 4 : i % 3 == 0);
        int64_t x, y;
        if (adx >= ady) {
            x = x0 + (dx < 0 ? -i : i);
            const int64_t m = (2 * i * ady + adx) / (2 * adx);
            y = y0 + (dy < 0 ? -m : m);
        } else {
            y = y0 + (dy < 0 ? -i : i);
            const int64_t m = (2 * i * adx + ady) / (2 * ady);
            x = x0 + (dx < 0 ? -m : m);
        }
        if (on && x >= 0 && x < w && y >= 0 && y < h) c.pixel(static_cast<int>(x), static_cast<int>(y)) = kInk;
    }
    return c;
}

// A segment clipped by the image edges draws exactly the pixels of the whole line that fall
// inside; far-away ends cost nothing and never write outside the buffer.
TEST(LineRaster, ClippingKeepsThePixelsOfTheWholeLine) {
    const struct {
        int x0, y0, x1, y1;
    } segments[] = {
        {-50, 7, 90, 12},  {15, -40, 22, 70},     {-30, -30, 60, 60}, {45, 3, -7, 28},
        {3, 28, 33, -5},   {-100, 100, 100, -80}, {-5, 10, 50, 10},   {0, 0, 39, 29},
        {39, 0, 0, 29},    {-1000000, 5, 1000000, 25}, {20, -3000000, 21, 3000000}, {60, 5, 80, 9},
    };
    constexpr int kW = 40, kH = 30;
    for (const auto& s : segments) {
        for (LineStyle style : {LineStyle::Solid, LineStyle::Dash, LineStyle::Dot}) {
            Canvas clipped(kW, kH);
            LineRaster r = clipped.raster();
            r.set_pen(kInk, style);
            r.line(s.x0, s.y0, s.x1, s.y1);
            const Canvas ref = naive(kW, kH, s.x0, s.y0, s.x1, s.y1, style);
            EXPECT_EQ(clipped.outside(), 0);
            EXPECT_EQ(clipped.px, ref.px) << s.x0 << "," << s.y0 << " -> " << s.x1 << "," << s.y1 << " style "
                                          << static_cast<int>(style);
        }
    }
}

TEST(LineRaster, DashPatternRunsOnAlongAPath) {
    Canvas c(40, 3);
    LineRaster r = c.raster();
    r.set_pen(kInk, LineStyle::Dash);
    r.move_to(0, 1);
    r.line_to(3, 1); // pixels 0..2
    r.line_to(12, 1); // continues at phase 3
    // four on, two off from the path start
    const bool expected[12] = {true, true, true, true, false, false, true, true, true, true, false, false};
    for (int x = 0; x < 12; ++x) EXPECT_EQ(c.at(x, 1), expected[x]) << x;

    Canvas d(10, 1);
    LineRaster dots = d.raster();
    dots.set_pen(kInk, LineStyle::Dot);
    dots.line(0, 0, 9, 0);
    EXPECT_EQ(d.count(), 3); // 0, 3, 6
    EXPECT_TRUE(d.at(6, 0));
}

} // namespace
