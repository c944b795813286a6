// SPDX-License-Identifier: MIT
// The X-Y painter.
#include "render/colour.h"
#include "render/xy_render.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <vector>

using namespace orv;
using namespace orv::render;

namespace {

constexpr uint32_t kBg = 0x202020, kLine = 0x00FF00;
QRgb rgb(uint32_t c) { return to_qcolor(c).rgb(); }

std::vector<uint16_t> ramp(auto b_of) {
    std::vector<uint16_t> s;
    for (int v = 0; v <= 255; ++v) {
        s.push_back(static_cast<uint16_t>(v));
        s.push_back(static_cast<uint16_t>(b_of(v)));
    }
    return s;
}

struct XyFixture : ::testing::Test {
    QImage image{300, 200, QImage::Format_RGB32};
    MapScratch scratch;
    XyJob job;
    XyFixture() {
        job.background_colour = kBg;
        job.line_colour = kLine;
    }
    void draw(const std::vector<uint16_t>& s, uint32_t count) {
        job.frame = {s, count};
        ASSERT_TRUE(render_xy(job, image, scratch));
    }
};

// Identical channels draw the diagonal from top-left to bottom-right in either orientation.
TEST_F(XyFixture, IdenticalChannelsDrawTheDiagonal) {
    const auto s = ramp([](int v) { return v; });
    for (XyMode mode : {XyMode::AVsB, XyMode::BVsA}) {
        job.mode = mode;
        draw(s, static_cast<uint32_t>(s.size()));
        for (int v : {10, 100, 200, 250}) {
            const int x = static_cast<int>(v * (300 / 255.0)), y = static_cast<int>(v * (200 / 255.0));
            EXPECT_EQ(image.pixel(x, y), rgb(kLine)) << v;
        }
        EXPECT_EQ(image.pixel(250, 30), rgb(kBg));
        EXPECT_EQ(image.pixel(30, 180), rgb(kBg));
    }
}

// Orientation 0 puts B across and A down; 1 the other way round.
TEST_F(XyFixture, OrientationChoosesTheAxes) {
    const auto s = ramp([](int) { return 40; }); // A sweeps, B stands at code 40
    const int b_x = static_cast<int>(40 * (300 / 255.0)), b_y = static_cast<int>(40 * (200 / 255.0));
    job.mode = XyMode::AVsB;
    draw(s, static_cast<uint32_t>(s.size()));
    EXPECT_EQ(image.pixel(b_x, 150), rgb(kLine)); // a vertical line at column of code 40
    EXPECT_EQ(image.pixel(150, b_y), rgb(kBg));
    job.mode = XyMode::BVsA;
    draw(s, static_cast<uint32_t>(s.size()));
    EXPECT_EQ(image.pixel(150, b_y), rgb(kLine)); // a horizontal line at the row of code 40
    EXPECT_EQ(image.pixel(b_x, 150), rgb(kBg));
}

TEST_F(XyFixture, EmptyFrameAndEndOfDataCodes) {
    const auto s = ramp([](int v) { return v; });
    draw(s, 0);
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 300; x += 7) ASSERT_EQ(image.pixel(x, y), rgb(kBg));
    // 256 lands just beyond the last row and column; drawing there is clipped, not a crash.
    const std::vector<uint16_t> end{100, 100, 256, 256, 256, 256};
    draw(end, 6);
    EXPECT_EQ(image.pixel(static_cast<int>(100 * (300 / 255.0)), static_cast<int>(100 * (200 / 255.0))), rgb(kLine));
}

} // namespace
