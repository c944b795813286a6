// SPDX-License-Identifier: MIT
#include "ui/trace_view.h"

#include <QPainter>

namespace orv::ui {

TraceImage::TraceImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(2, 2);
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

} // namespace orv::ui
