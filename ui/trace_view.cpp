// SPDX-License-Identifier: MIT
#include "ui/trace_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace orv::ui {

TraceImage::TraceImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(2, 2);
    setMouseTracking(true); // the pointer shape changes over the cursors and markers
}

void TraceImage::set_image(const QImage& image) {
    image_ = image; // shared, not copied: the worker renders into its other image meanwhile
    update();
}

void TraceImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image_);
    if (image_.width() < width()) p.fillRect(image_.width(), 0, width() - image_.width(), height(), Qt::black);
    if (image_.height() < height()) p.fillRect(0, image_.height(), width(), height() - image_.height(), Qt::black);
}

void TraceImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (on_mouse_down) on_mouse_down(event->button(), p.x(), p.y());
}

void TraceImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (on_mouse_move) on_mouse_move(p.x(), p.y());
}

void TraceImage::mouseReleaseEvent(QMouseEvent* event) {
    if (on_mouse_up) on_mouse_up(event->button());
}

void TraceImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (on_resize) on_resize();
}

} // namespace orv::ui
