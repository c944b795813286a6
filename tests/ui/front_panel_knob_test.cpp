// SPDX-License-Identifier: MIT
// Where the pointer turns a knob to: the angle of a point, the sectors, the dead zone and the
// refusals, and set-knob-from-value landing on the value it was given.
#include "ui/knob_widget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

namespace km = orv::ui::knob_math;

// The point at `degrees` (counter-clockwise from three o'clock) and `radius` around the centre of
// a size x size bitmap, rounded to a pixel as a mouse position is.
std::optional<double> angle_at(double degrees, int size, double radius = 50) {
    const double a = degrees * M_PI / 180.0;
    const int c = size / 2;
    return km::pointer_angle(c + static_cast<int>(std::lround(radius * std::cos(a))),
                             c - static_cast<int>(std::lround(radius * std::sin(a))), size, size);
}

TEST(KnobPointer, CentreIsIgnoredAndAnglesRunCounterClockwise) {
    EXPECT_FALSE(km::pointer_angle(68 + 6, 68 + 2, 136, 136)); // R = 40
    EXPECT_TRUE(km::pointer_angle(68 + 6, 68 + 3, 136, 136));  // R = 45
    EXPECT_NEAR(*km::pointer_angle(100, 68, 136, 136), 0.0, 1e-6);
    EXPECT_NEAR(*km::pointer_angle(68, 20, 136, 136), M_PI / 2, 1e-6);
    EXPECT_NEAR(*km::pointer_angle(68, 120, 136, 136), 3 * M_PI / 2, 1e-6);
}

TEST(KnobPointer, VoltDivSectors) {
    struct Case {
        double degrees;
        int variant;
        std::optional<int> index;
    };
    const Case cases[] = {
        {270, 51, std::nullopt}, // six o'clock: the caption sector
        {253, 51, std::nullopt}, // sector 7 spans 252..288 degrees
        {287, 51, std::nullopt},
        {300, 51, 8},            // just right of it: 10 mV/div
        {18, 51, 0},  {90, 51, 2}, {230, 51, 6}, {350, 51, 9},
        {18, 52, std::nullopt},  // variant 52 lacks 50 mV, 10 mV and 20 mV
        {300, 52, std::nullopt}, {350, 52, std::nullopt}, {90, 52, 2},
    };
    for (const Case& c : cases) {
        const auto angle = angle_at(c.degrees, 136);
        ASSERT_TRUE(angle);
        EXPECT_EQ(km::volt_div_index(*angle, c.variant), c.index) << c.degrees << " deg, variant " << c.variant;
    }
}

TEST(KnobPointer, PositionAndLevelValues) {
    struct Case {
        double degrees;
        std::optional<int> value;
    };
    const Case cases[] = {
        {90, 0},              // twelve o'clock
        {0, 75},              // three o'clock
        {180, -75},           // nine o'clock
        {297, 126},           // C = 247 gives 128, clamped
        {260, std::nullopt},  // the dead zone around six o'clock
        {245, std::nullopt},
        {295, std::nullopt},
        {243, -126},          // just left of the dead zone, clamped
        {45, 38},             // turning clockwise raises the value
    };
    for (const Case& c : cases) {
        const auto angle = angle_at(c.degrees, 80, 30);
        ASSERT_TRUE(angle);
        EXPECT_EQ(km::position_value(*angle), c.value) << c.degrees << " deg";
    }
}

TEST(KnobPointer, TimeBaseSectorsAndRefusals) {
    const double sector = 15.0;
    // One sector clockwise from 5 us/div (index 0) is 2 us/div (23); one counter-clockwise from
    // 1 s/div (16) is 20 ns/div (17), which the 60, 20 and 40 MHz models lack.
    const double clockwise_from_0 = (0 + 0.5) * sector - sector + 360;
    const double ccw_from_16 = (16 + 0.5) * sector + sector;
    EXPECT_EQ(km::time_base_index(*angle_at(clockwise_from_0, 180, 60), 1, false), 23);
    EXPECT_EQ(km::time_base_index(*angle_at(ccw_from_16, 180, 60), 1, false), 17);
    EXPECT_EQ(km::time_base_index(*angle_at(ccw_from_16, 180, 60), 2, false), std::nullopt);
    EXPECT_EQ(km::time_base_index(*angle_at(ccw_from_16, 180, 60), 3, false), std::nullopt);
    EXPECT_EQ(km::time_base_index(*angle_at(ccw_from_16 + sector, 180, 60), 2, false), 18);
    EXPECT_EQ(km::time_base_index(*angle_at(ccw_from_16 + sector, 180, 60), 4, false), std::nullopt);
    // While real-time text recording is open every position means 1 s/div.
    EXPECT_EQ(km::time_base_index(*angle_at(clockwise_from_0, 180, 60), 1, true), 16);
}

// Set-knob-from-value feeds the point at radius 100 through the pointer logic: every value the
// panel can hold must come back unchanged.
TEST(KnobPointer, SetKnobFromValueRoundTrips) {
    const auto back = [](double angle, int size) {
        return angle_at(angle * 180.0 / M_PI, size, 100);
    };
    for (int v = -126; v <= 126; ++v)
        EXPECT_EQ(km::position_value(*back(km::position_angle(v), 80)), v) << v;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 8, 9})
        EXPECT_EQ(km::volt_div_index(*back(km::volt_div_angle(i), 136), 51), i) << i;
    for (int i = 0; i < 24; ++i) EXPECT_EQ(km::time_base_index(*back(km::time_base_angle(i), 180), 0, false), i) << i;
}

} // namespace
