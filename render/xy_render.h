// SPDX-License-Identifier: MIT
// The X-Y plot painter: every sample pair of the job's copy as one connected line, no grid and
// no text.
#pragma once

#include <cstdint>

#include "render/map_render.h"

namespace orv::render {

struct XyJob {
    MapJob frame;
    uint32_t background_colour = 0x000000;
    uint32_t line_colour = 0x00FF00;
    XyMode mode = XyMode::AVsB;
};

bool render_xy(const XyJob& job, QImage& image, MapScratch& scratch);

} // namespace orv::render
