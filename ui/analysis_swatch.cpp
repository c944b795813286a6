// SPDX-License-Identifier: MIT
#include "ui/analysis_swatch.h"

#include "render/colour.h"

#include <QColorDialog>
#include <QMouseEvent>

namespace orv::ui {

ColourSwatch::ColourSwatch(const char* name, QWidget* parent) : QLabel(parent) {
    setObjectName(QString::fromLatin1(name));
    setMinimumSize(40, 18);
    setCursor(Qt::PointingHandCursor);
    set_colour(0);
}

void ColourSwatch::set_colour(uint32_t colour) {
    colour_ = colour;
    setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;")
                      .arg(orv::render::to_qcolor(colour).name()));
}

void ColourSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QColor c = QColorDialog::getColor(orv::render::to_qcolor(colour_), this);
    if (!c.isValid()) return;
    set_colour(static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
               static_cast<uint32_t>(c.blue()) << 16);
}

} // namespace orv::ui
