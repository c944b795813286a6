// SPDX-License-Identifier: MIT
#include "render/map_render.h"

#include "core/scope/worker_jobs.h"
#include "render/colour.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <algorithm>

namespace orv::render {

// The move target plus one point per pair of the largest record.
MapScratch::MapScratch() : map(kJobSampleCapacity / 2 + 1), points(kJobSampleCapacity / 2 + 1) {}

void draw_map_polyline(QPainter& p, MapScratch& s, std::size_t n) {
    n = std::min({n, s.map.size(), s.points.size()});
    for (std::size_t i = 0; i < n; ++i) s.points[i] = QPoint(s.map[i].x, s.map[i].y);
    if (n >= 2) p.drawPolyline(s.points.data(), static_cast<int>(n));
}

namespace {

QPen pen_of(const QColor& colour) {
    QPen pen(colour);
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap); // the end point of a line is left out, as on the original canvas
    return pen;
}

} // namespace

CorrelationResult render_correlation(const MapJob& job, QImage& image) {
    CorrelationResult result;
    const int w = image.width();
    const int h = image.height();
    if (w < 1 || h < 1) return result;
    result.r = correlation_coefficient(job.samples, job.count);
    result.bar = correlation_bar(result.r, w, h);
    QPainter p(&image);
    p.fillRect(0, 0, w, h, Qt::black);
    const MapRect& b = result.bar;
    if (b.right > b.left && b.bottom > b.top) p.fillRect(b.left, b.top, b.right - b.left, b.bottom - b.top, QColor(0, 255, 0));
    result.rendered = true;
    return result;
}

bool render_smap(const MapJob& job, QImage& image, MapScratch& scratch) {
    const int w = image.width();
    const int h = image.height();
    if (w < 1 || h < 1) return false;
    QPainter p(&image);
    p.fillRect(0, 0, w, h, Qt::black);
    p.setPen(pen_of(Qt::white));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    draw_map_polyline(p, scratch, smap_polyline(job.samples, job.count, h, scratch.map));
    return true;
}

} // namespace orv::render
