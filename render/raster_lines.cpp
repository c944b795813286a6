// SPDX-License-Identifier: MIT
#include "render/raster_lines.h"

#include <algorithm>
#include <cstdlib>

namespace orv::render {
namespace {

// Far beyond any image, small enough that the products below stay inside 64 bits.
constexpr int64_t kCoordLimit = int64_t{1} << 28;

int64_t clamp_coord(int v) { return std::clamp<int64_t>(v, -kCoordLimit, kCoordLimit); }

int64_t floor_div(int64_t a, int64_t b) { // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t ceil_div(int64_t a, int64_t b) { return -floor_div(-a, b); }

// Steps i of a line along its major axis: pixel i lies at major = m0 + s_major * i and
// minor = n0 + s_minor * floor((2 i d_minor + d_major) / (2 d_major)) (nearest pixel, ties away
// from the start). Returns the range of i in [0, steps) that lands inside [0, major_size) x
// [0, minor_size); empty when lo > hi.
struct StepRange {
    int64_t lo, hi;
};

StepRange visible_steps(int64_t m0, int64_t s_major, int64_t d_major, int64_t major_size, int64_t n0,
                        int64_t s_minor, int64_t d_minor, int64_t minor_size) {
    StepRange r{0, d_major - 1};
    if (s_major > 0) {
        r.lo = std::max(r.lo, -m0);
        r.hi = std::min(r.hi, major_size - 1 - m0);
    } else {
        r.lo = std::max(r.lo, m0 - (major_size - 1));
        r.hi = std::min(r.hi, m0);
    }
    // Offsets along the minor axis that stay inside the image.
    const int64_t off_lo = s_minor > 0 ? -n0 : n0 - (minor_size - 1);
    const int64_t off_hi = s_minor > 0 ? minor_size - 1 - n0 : n0;
    if (d_minor == 0) {
        if (off_lo > 0 || off_hi < 0) r.hi = r.lo - 1;
        return r;
    }
    r.lo = std::max(r.lo, ceil_div(2 * d_major * off_lo - d_major, 2 * d_minor));
    r.hi = std::min(r.hi, ceil_div(2 * d_major * (off_hi + 1) - d_major, 2 * d_minor) - 1);
    return r;
}

} // namespace

LineStyle line_style(int code) {
    switch (code) {
    case 1: return LineStyle::Dash;
    case 2: return LineStyle::Dot;
    default: return LineStyle::Solid;
    }
}

bool LineRaster::on(int64_t step) const {
    switch (style_) {
    case LineStyle::Dash: return step % 6 < 4; // four on, two off
    case LineStyle::Dot: return step % 3 == 0; // one on, two off
    case LineStyle::Solid: break;
    }
    return true;
}

void LineRaster::line_to(int x, int y) {
    if (have_pos_) segment(clamp_coord(x_), clamp_coord(y_), clamp_coord(x), clamp_coord(y));
    x_ = x;
    y_ = y;
    have_pos_ = true;
}

void LineRaster::segment(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const int64_t adx = std::abs(dx), ady = std::abs(dy);
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool x_major = adx >= ady;
    const int64_t steps = x_major ? adx : ady; // the end point is not drawn
    if (steps == 0 || w_ <= 0 || h_ <= 0) return;
    const int64_t phase0 = phase_;
    phase_ += steps;

    const int64_t d_major = steps, d_minor = x_major ? ady : adx;
    const StepRange r = x_major ? visible_steps(x0, sx, d_major, w_, y0, sy, d_minor, h_)
                                : visible_steps(y0, sy, d_major, h_, x0, sx, d_minor, w_);
    if (r.lo > r.hi) return;

    const int64_t two_major = 2 * d_major;
    int64_t num = 2 * r.lo * d_minor + d_major;
    int64_t minor = num / two_major;
    int64_t rem = num % two_major;
    int64_t px = x_major ? x0 + sx * r.lo : x0 + sx * minor;
    int64_t py = x_major ? y0 + sy * minor : y0 + sy * r.lo;
    uint32_t* p = bits_ + py * stride_ + px;
    const int64_t major_step = x_major ? sx : sy * stride_;
    const int64_t minor_step = x_major ? sy * stride_ : sx;
    const int64_t inc = 2 * d_minor;
    if (style_ == LineStyle::Solid) {
        for (int64_t i = r.lo; i <= r.hi; ++i) {
            *p = colour_;
            p += major_step;
            rem += inc;
            if (rem >= two_major) {
                rem -= two_major;
                p += minor_step;
            }
        }
        return;
    }
    for (int64_t i = r.lo; i <= r.hi; ++i) {
        if (on(phase0 + i)) *p = colour_;
        p += major_step;
        rem += inc;
        if (rem >= two_major) {
            rem -= two_major;
            p += minor_step;
        }
    }
}

} // namespace orv::render
