// SPDX-License-Identifier: MIT
// The front-panel knobs, drawn by the program into their bitmaps. Angles are radians measured
// counter-clockwise from three o'clock, the way the pointer logic reports them.
#pragma once

#include <cstdint>

class QImage;

namespace orv::render {

enum class KnobKind : uint8_t { TimeBase, VoltDiv, Position, Level };

// The face of a knob: background, dial, needle and scale. `time_base` names the range under the
// time-base knob; `ring` leaves room for the bevel ring (the time-base needle is shorter then).
void draw_knob(QImage& image, KnobKind kind, double angle, int time_base, bool ring);

// The bevel ring around the dial: pressed is dark above-left and light below-right.
void draw_bevel_ring(QImage& image, bool pressed);

inline constexpr double kTwoPi = 6.283185306;

} // namespace orv::render
