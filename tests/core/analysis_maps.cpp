// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <vector>

#include "core/analysis/maps.h"

namespace orv {
namespace {

std::vector<uint16_t> pairs(int n, int (*a)(int), int (*b)(int)) {
    std::vector<uint16_t> r(2 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        r[2 * static_cast<std::size_t>(i)] = static_cast<uint16_t>(a(i));
        r[2 * static_cast<std::size_t>(i) + 1] = static_cast<uint16_t>(b(i));
    }
    return r;
}

int ramp(int i) { return i % 256; }
int mirror(int i) { return 256 - ramp(i); }

TEST(AnalysisMaps, CorrelationBar) {
    constexpr int W = 617, H = 57;
    struct Case {
        const char* name;
        std::vector<uint16_t> record;
        double r;
        int left;
    };
    const Case cases[] = {
        {"identical", pairs(3072, ramp, ramp), 1.0, W - 9},
        {"mirror about 128", pairs(3072, ramp, mirror), -1.0, -4},
        {"same constant offset", pairs(3072, [](int) { return 200; }, [](int) { return 200; }), 1.0, W - 9},
        {"opposite offsets", pairs(3072, [](int) { return 200; }, [](int) { return 50; }), -1.0, -4},
        {"both at the centre", pairs(3072, [](int) { return 128; }, ramp), 0.0, 308 - 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double r = correlation_coefficient(c.record, static_cast<uint32_t>(c.record.size()));
        EXPECT_NEAR(r, c.r, 1e-12);
        EXPECT_EQ(correlation_bar(r, W, H), (MapRect{c.left, 5, c.left + 8, H - 5}));
    }
    EXPECT_EQ(correlation_bar_x(1.0, W), W - 5);
    EXPECT_EQ(correlation_bar_x(-1.0, W), 0);
}

TEST(AnalysisMaps, SMapRotatesByFortyFiveDegrees) {
    constexpr int H = 362;
    constexpr int g = H / 2;
    EXPECT_EQ(smap_point(128, 128, H), (MapPoint{g, g}));
    // Full scale (255, 0): about half the half-height right of the centre, on the centre row.
    const MapPoint full = smap_point(255, 0, H);
    EXPECT_NEAR(full.x, g + 0.5 * g, 1.0);
    EXPECT_NEAR(full.y, g, 1.0);
    // In phase: a vertical line through the centre; anti-phase: a horizontal one.
    for (int v : {0, 60, 200, 255}) {
        EXPECT_EQ(smap_point(v, v, H).x, g) << v;
        EXPECT_EQ(smap_point(v, 256 - v, H).y, g) << v;
    }
    // The width plays no part: the polyline starts with the move to pair 0.
    const auto r = pairs(3, ramp, mirror);
    std::vector<MapPoint> out(8);
    ASSERT_EQ(smap_polyline(r, 6, H, out), 4u);
    EXPECT_EQ(out[0], out[1]);
    EXPECT_EQ(out[3], smap_point(2, 254, H));
}

TEST(AnalysisMaps, XyPolyline) {
    constexpr int W = 300, H = 300;
    const auto same = pairs(256, ramp, ramp);
    std::vector<MapPoint> out(300);
    // Orientation 0 with identical channels: the diagonal from top-left to bottom-right.
    ASSERT_EQ(xy_polyline(same, 512, W, H, XyMode::AVsB, out), 257u);
    for (std::size_t i = 0; i < 257; ++i) ASSERT_EQ(out[i].x, out[i].y) << i;
    EXPECT_EQ(out[0], (MapPoint{0, 0}));
    EXPECT_GE(out[256].x, W - 1);

    // The orientation decides which channel runs across.
    const auto a_only = pairs(256, ramp, [](int) { return 0; });
    xy_polyline(a_only, 512, W, H, XyMode::BVsA, out);
    EXPECT_EQ(out[200].y, 0);
    EXPECT_GT(out[200].x, 0);
    xy_polyline(a_only, 512, W, H, XyMode::AVsB, out);
    EXPECT_EQ(out[200].x, 0);
    EXPECT_GT(out[200].y, 0);

    // A count of 0 still makes the initial move; the end-of-data code lands on the last row.
    EXPECT_EQ(xy_polyline(same, 0, W, H, XyMode::AVsB, out), 1u);
    EXPECT_GE(xy_point(256, 256, W, H, XyMode::AVsB).y, H);
    // Never more points than the buffer holds, nor pairs beyond the record.
    std::vector<MapPoint> small(10);
    EXPECT_EQ(xy_polyline(same, 512, W, H, XyMode::AVsB, small), 10u);
    EXPECT_EQ(xy_polyline(same, 100000, W, H, XyMode::AVsB, out), 257u);
}

} // namespace
} // namespace orv
