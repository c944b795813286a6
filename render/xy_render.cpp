// SPDX-License-Identifier: MIT
#include "render/xy_render.h"

#include "render/colour.h"

#include <QImage>
#include <QPainter>
#include <QPen>

namespace orv::render {

bool render_xy(const XyJob& job, QImage& image, MapScratch& scratch) {
    const int w = image.width();
    const int h = image.height();
    if (w < 1 || h < 1) return false;
    QPainter p(&image);
    p.fillRect(0, 0, w, h, to_qcolor(job.background_colour));
    QPen pen(to_qcolor(job.line_colour));
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap); // the end point of a line is left out, as on the original canvas
    p.setPen(pen);
    draw_map_polyline(p, scratch, xy_polyline(job.frame.samples, job.frame.count, w, h, job.mode, scratch.map));
    return true;
}

} // namespace orv::render
