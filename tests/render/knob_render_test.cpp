// SPDX-License-Identifier: MIT
// The knob pictures: the needle points where it is told, the time-base knob names its range, and
// the bevel ring swaps its light and dark halves between the pressed and released looks.
#include "render/knob_render.h"

#include "render/colour.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

namespace {

using orv::render::KnobKind;

bool bluish(QRgb c) { return qBlue(c) > 150 && qRed(c) < 120 && qGreen(c) < 120; }

// Whether any pixel within 2 of the point at `radius` in direction `angle` is blue.
bool needle_near(const QImage& img, double angle, double radius) {
    const int c = img.width() / 2;
    const int x = c + static_cast<int>(std::lround(radius * std::cos(angle)));
    const int y = c - static_cast<int>(std::lround(radius * std::sin(angle)));
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (bluish(img.pixel(x + dx, y + dy))) return true;
    return false;
}

TEST(KnobRender, NeedleFollowsTheAngle) {
    struct Case {
        KnobKind kind;
        int size;
        double radius;
    };
    for (const Case& k : {Case{KnobKind::VoltDiv, 136, 26}, Case{KnobKind::Position, 80, 26},
                          Case{KnobKind::Level, 80, 26}, Case{KnobKind::TimeBase, 180, 32}}) {
        for (double angle : {0.3, 1.9, 4.0}) {
            QImage img(k.size, k.size, QImage::Format_RGB32);
            orv::render::draw_knob(img, k.kind, angle, 7, false);
            EXPECT_TRUE(needle_near(img, angle, k.radius)) << k.size << " at " << angle;
            // Halfway round from the needle there is only its balancing tail, not the tip's dot.
            EXPECT_FALSE(needle_near(img, angle + M_PI / 2, k.radius)) << k.size << " at " << angle;
        }
        QImage img(k.size, k.size, QImage::Format_RGB32);
        orv::render::draw_knob(img, k.kind, 0, 7, false);
        EXPECT_EQ(img.pixel(1, k.size - 2), orv::render::to_qcolor(orv::render::kSysButtonFace).rgb());
    }
}

TEST(KnobRender, TimeBaseNamesItsRange) {
    QImage a(180, 180, QImage::Format_RGB32), b(180, 180, QImage::Format_RGB32);
    orv::render::draw_knob(a, KnobKind::TimeBase, 0.1, 7, false);
    orv::render::draw_knob(b, KnobKind::TimeBase, 0.1, 16, false);
    // Same needle, different name under the dial.
    EXPECT_EQ(a.copy(0, 0, 180, 150), b.copy(0, 0, 180, 150));
    EXPECT_NE(a.copy(50, 155, 130, 25), b.copy(50, 155, 130, 25));
}

TEST(KnobRender, BevelRingLooks) {
    QImage img(80, 80, QImage::Format_RGB32);
    orv::render::draw_knob(img, KnobKind::Position, 1.0, 0, true);
    const int c = 40;
    const int d = static_cast<int>(35 / std::sqrt(2.0));
    const auto upper_left = [&] { return qGray(img.pixel(c - d, c - d)); };
    const auto lower_right = [&] { return qGray(img.pixel(c + d, c + d)); };
    orv::render::draw_bevel_ring(img, true);
    EXPECT_LT(upper_left(), lower_right());
    orv::render::draw_bevel_ring(img, false);
    EXPECT_GT(upper_left(), lower_right());
}

} // namespace
