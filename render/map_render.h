// SPDX-License-Identifier: MIT
// The painters of the correlation map and the S map: pure functions of the job's copy of the
// samples and the image. The geometry comes from core/analysis/maps.h.
#pragma once

#include <QPoint>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis/maps.h"

class QImage;
class QPainter;

namespace orv::render {

// Polyline scratch for the X-Y plot and the S map, sized once for the largest record a job
// carries, so a frame allocates nothing.
struct MapScratch {
    MapScratch();
    std::vector<MapPoint> map;
    std::vector<QPoint> points;
};

// Draws the first `n` points of the scratch as one polyline.
void draw_map_polyline(QPainter& painter, MapScratch& scratch, std::size_t n);

struct MapJob {
    std::span<const uint16_t> samples; // interleaved A, B raw codes
    uint32_t count = 0;                // interleaved entries to use (twice the pairs)
};

struct CorrelationResult {
    bool rendered = false;
    double r = 0.0;
    MapRect bar;
};

// Black field with a green bar: -1 at the left edge, +1 at the right.
CorrelationResult render_correlation(const MapJob& job, QImage& image);

// Black field, white border, and every pair rotated by 45 degrees as one white line.
bool render_smap(const MapJob& job, QImage& image, MapScratch& scratch);

} // namespace orv::render
