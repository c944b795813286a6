// SPDX-License-Identifier: MIT
// The correlation map and S map painters.
#include "render/map_render.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <vector>

using namespace orv;
using namespace orv::render;

namespace {

constexpr QRgb kGreen = 0xFF00FF00u;
constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

std::vector<uint16_t> pairs(int n, auto a_of, auto b_of) {
    std::vector<uint16_t> s;
    for (int i = 0; i < n; ++i) {
        s.push_back(static_cast<uint16_t>(a_of(i)));
        s.push_back(static_cast<uint16_t>(b_of(i)));
    }
    return s;
}

int wave(int i) { return 128 + ((i / 5) % 2 ? 60 : -40) + i % 7; }

struct BarCase {
    const char* name;
    std::vector<uint16_t> samples;
    double r;
    int x; // bar centre column in a 617-pixel image
};

TEST(CorrelationMap, BarFollowsTheCoefficient) {
    const int w = 617, h = 57;
    const BarCase cases[] = {
        {"identical", pairs(300, wave, wave), 1.0, w - 5},
        {"mirror", pairs(300, wave, [](int i) { return 256 - wave(i); }), -1.0, 0},
        {"constant offsets", pairs(300, [](int) { return 40; }, [](int) { return 200; }), -1.0, 0},
        {"both at the centre", pairs(300, [](int) { return 128; }, [](int) { return 128; }), 0.0, w / 2},
    };
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(w, h, QImage::Format_RGB32);
        const CorrelationResult r = render_correlation({c.samples, static_cast<uint32_t>(c.samples.size())}, image);
        ASSERT_TRUE(r.rendered);
        EXPECT_NEAR(r.r, c.r, 1e-12);
        EXPECT_EQ(r.bar, (MapRect{c.x - 4, 5, c.x + 4, h - 5}));
        const int left = std::max(0, c.x - 4);
        EXPECT_EQ(image.pixel(left, h / 2), kGreen);
        EXPECT_EQ(image.pixel(c.x + 3, h / 2), kGreen);
        EXPECT_EQ(image.pixel(c.x + 3, 4), kBlack);
        EXPECT_EQ(image.pixel(c.x + 3, h - 5), kBlack);
        if (c.x + 4 < w) {
            EXPECT_EQ(image.pixel(c.x + 4, h / 2), kBlack);
        }
        if (c.x - 5 >= 0) {
            EXPECT_EQ(image.pixel(c.x - 5, h / 2), kBlack);
        }
    }
}

// A pair at full scale (A 255, B 0) sits half the half-height right of the centre; alternating it
// with the centre pair draws one horizontal white line through the centre row.
TEST(StereoMap, FullScalePairLandsRightOfTheCentre) {
    const int w = 387, h = 362, g = h / 2;
    const auto s = pairs(40, [](int i) { return i % 2 ? 255 : 128; }, [](int i) { return i % 2 ? 0 : 128; });
    QImage image(w, h, QImage::Format_RGB32);
    MapScratch scratch;
    ASSERT_TRUE(render_smap({s, static_cast<uint32_t>(s.size())}, image, scratch));
    const MapPoint far = smap_point(255, 0, h);
    EXPECT_NEAR(far.x, g + 0.5 * g, 2);
    EXPECT_NEAR(far.y, g, 1);
    // The far point sits a fraction of a pixel above the centre row, so the line may step once.
    EXPECT_TRUE(image.pixel(g + g / 4, g) == kWhite || image.pixel(g + g / 4, g - 1) == kWhite);
    EXPECT_EQ(image.pixel(g + g / 4, g - 3), kBlack);
    EXPECT_EQ(image.pixel(g + g / 4, g + 2), kBlack);
    EXPECT_EQ(image.pixel(g, g + g / 4), kBlack);
    // The one-pixel white border.
    for (auto [x, y] : {std::pair{0, 100}, {w - 1, 100}, {100, 0}, {100, h - 1}}) EXPECT_EQ(image.pixel(x, y), kWhite);
    EXPECT_EQ(image.pixel(1, 100), kBlack);
}

TEST(StereoMap, InPhaseSignalsDrawAVerticalLine) {
    const int h = 200, g = h / 2;
    const auto s = pairs(50, [](int i) { return 60 + 3 * i; }, [](int i) { return 60 + 3 * i; });
    QImage image(300, h, QImage::Format_RGB32);
    MapScratch scratch;
    render_smap({s, static_cast<uint32_t>(s.size())}, image, scratch);
    EXPECT_EQ(image.pixel(g, g), kWhite);
    EXPECT_EQ(image.pixel(g + 10, g), kBlack);
    EXPECT_EQ(image.pixel(h / 2 + 100, g), kBlack); // the width does not move the centre
}

} // namespace
