// SPDX-License-Identifier: MIT
// One-pixel lines written straight into a 32-bit image, with the drawing rules of the view: a
// line covers its first point and stops one pixel short of its last, dash patterns run on along
// a connected path, and everything outside the image is clipped arithmetically (a segment that
// leaves the image costs nothing for its invisible part). QPainter's stroker does the same work
// several times slower, and the trace view draws thousands of segments a frame.
#pragma once

#include <cstdint>

namespace orv::render {

enum class LineStyle : uint8_t { Solid = 0, Dash = 1, Dot = 2 };

LineStyle line_style(int code); // 0 solid, 1 dash, 2 dot; anything else solid

class LineRaster {
public:
    // `bits` points at `height` rows of `stride_px` pixels (0xAARRGGBB words).
    LineRaster(uint32_t* bits, int width, int height, int stride_px)
        : bits_(bits), w_(width), h_(height), stride_(stride_px) {}

    void set_pen(uint32_t argb, LineStyle style) {
        colour_ = argb;
        style_ = style;
        phase_ = 0;
    }
    // Starts a new path at (x, y); the dash pattern starts over.
    void move_to(int x, int y) {
        x_ = x;
        y_ = y;
        have_pos_ = true;
        phase_ = 0;
    }
    // Draws from the current point; without one it only sets it.
    void line_to(int x, int y);
    // A single stroke, as move_to + line_to.
    void line(int x0, int y0, int x1, int y1) {
        move_to(x0, y0);
        line_to(x1, y1);
    }
    // Where the dash pattern stands, to continue a path drawn in pieces.
    int64_t phase() const { return phase_; }
    void set_phase(int64_t phase) { phase_ = phase; }
    bool has_position() const { return have_pos_; }
    int x() const { return x_; }
    int y() const { return y_; }
    void forget_position() { have_pos_ = false; }

private:
    bool on(int64_t step) const;
    void segment(int64_t x0, int64_t y0, int64_t x1, int64_t y1);

    uint32_t* bits_;
    int w_, h_, stride_;
    uint32_t colour_ = 0xFF000000u;
    LineStyle style_ = LineStyle::Solid;
    int64_t phase_ = 0;
    int x_ = 0, y_ = 0;
    bool have_pos_ = false;
};

} // namespace orv::render
