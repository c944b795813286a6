// SPDX-License-Identifier: MIT
#include "render/knob_render.h"

#include "core/scope/tables.h"
#include "render/colour.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace orv::render {
namespace {

constexpr double kNeedleHalfWidth = 0.09;
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);   // 0xFF0000 in the stored colour order
const QColor kRed(255, 0, 0);    // 0x0000FF
const QColor kGrey(128, 128, 128);
const QColor kWhite(255, 255, 255);

QPointF polar(double c, double radius, double angle) {
    return {c + radius * std::cos(angle), c - radius * std::sin(angle)};
}

// Two thin wedges through the centre: the far tip opposite the pointer keeps the needle balanced.
void needle(QPainter& p, double c, double radius, double angle) {
    const auto near = [&](double a) { return polar(c, radius, a); };
    const auto far = [&](double a) { return polar(c, radius, a + M_PI); };
    const QPointF path[] = {far(angle - kNeedleHalfWidth), far(angle + kNeedleHalfWidth),
                            near(angle - kNeedleHalfWidth), near(angle + kNeedleHalfWidth),
                            far(angle - kNeedleHalfWidth)};
    p.setPen(QPen(kBlue, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(path, 5);
}

void dots(QPainter& p, double c, double dot_radius, double angle) {
    p.setPen(QPen(kBlue, 1));
    p.drawEllipse(QPointF(c, c), 2, 2);
    p.setPen(QPen(kRed, 2));
    p.drawEllipse(polar(c, dot_radius, angle), 2, 2);
}

QFont scale_font(int pixel_height, const char* family = nullptr) {
    QFont f;
    if (family) f.setFamily(QString::fromLatin1(family));
    f.setPixelSize(pixel_height);
    f.setBold(true);
    f.setUnderline(true);
    return f;
}

// Text placed by its top-left corner.
void text_at(QPainter& p, double x, double y, const char* s) {
    p.drawText(QRectF(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromLatin1(s));
}

void draw_volt_div(QPainter& p, double c, double angle) {
    p.setPen(QPen(kBlack, 2));
    p.setBrush(to_qcolor(kSysButtonFace));
    p.drawEllipse(QPointF(c, c), 34, 34);
    needle(p, c, 29, angle);
    dots(p, c, 21, angle);
    p.setPen(kBlack);
    p.setFont(scale_font(20));
    struct Label { double x, y; const char* text; };
    static constexpr Label labels[] = {{-8, -60, ".2"}, {-35, -50, ".5"}, {-50, -30, "1"},   {-50, 0, "2"},
                                       {-35, 25, "5"},  {20, -50, ".1"},  {35, -30, ".05"}, {35, 0, ".02"},
                                       {25, 25, ".01"}, {-25, 50, "Volt/Div"}};
    for (const Label& l : labels) text_at(p, c + l.x, c + l.y, l.text);
}

void draw_position(QPainter& p, double c, double angle, bool level) {
    p.setPen(QPen(level ? kBlue : kBlack, 1));
    p.setBrush(to_qcolor(kSysButtonFace));
    p.drawEllipse(QPointF(c, c), 34, 34);
    needle(p, c, 29, angle);
    dots(p, c, 21, angle);
}

void draw_time_base(QPainter& p, double c, double angle, int time_base, bool ring) {
    const QColor face = to_qcolor(kSysButtonFace);
    p.setPen(QPen(kBlack, 2));
    for (int i = 0; i < kTimeBases; ++i) p.drawLine(QPointF(c, c), polar(c, 42, (i + 0.5) * M_PI / 12));
    for (int i = 0; i < 8; ++i) p.drawLine(QPointF(c, c), polar(c, 46, (i + 0.5) * M_PI / 4));
    p.setPen(QPen(kBlack, 1));
    p.setBrush(face);
    p.drawEllipse(QPointF(c, c), 39, 39);
    const double radius = ring ? 30 : 35;
    needle(p, c, radius, angle);
    dots(p, c, radius - 8, angle);

    p.setPen(kBlack);
    p.setFont(scale_font(16, "Arial"));
    struct Label { double x, y; const char* text; };
    static constexpr Label labels[] = {{15, -58, "0.1mS"}, {-35, -58, "1mS"}, {-75, -25, "10mS"},
                                       {-70, 10, "0.1S"},  {-30, 45, "1S"},   {45, -25, "10uS"},
                                       {45, 10, "1uS"},    {15, 45, "0.1uS"}};
    for (const Label& l : labels) text_at(p, c + l.x, c + l.y, l.text);

    p.fillRect(QRectF(QPointF(c - 35, c + 70), QPointF(2 * c, 2 * c)), face);
    const bool short_name = time_base == 0 || time_base == 7 || time_base == 8 || time_base == 9 ||
                            time_base == 22 || time_base == 23;
    const double column = short_name ? c - 20 : (time_base == 16 ? c - 15 : c - 25);
    const std::string name(time_base_label(time_base));
    text_at(p, column, c + 70, name.c_str());
    QFont caption = scale_font(24, "Arial");
    p.setFont(caption);
    text_at(p, c - 40, 0, std::string(kTimeBaseKnobCaption).c_str());
}

} // namespace

void draw_knob(QImage& image, KnobKind kind, double angle, int time_base, bool ring) {
    if (image.isNull()) return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(image.rect(), to_qcolor(kSysButtonFace));
    const double c = image.width() / 2;
    switch (kind) {
    case KnobKind::VoltDiv: draw_volt_div(p, c, angle); break;
    case KnobKind::Position: draw_position(p, c, angle, false); break;
    case KnobKind::Level: draw_position(p, c, angle, true); break;
    case KnobKind::TimeBase: draw_time_base(p, c, angle, time_base, ring); break;
    }
}

void draw_bevel_ring(QImage& image, bool pressed) {
    if (image.isNull()) return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double c = image.width() / 2;
    const QRectF box(c - 35, c - 35, 70, 70);
    // Qt angles are in 1/16 degree, counter-clockwise from three o'clock; the split runs along the
    // diagonal from lower left (225 degrees) to upper right (45 degrees).
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pressed ? kGrey : kWhite, 4));
    p.drawArc(box, 45 * 16, 180 * 16);
    p.setPen(QPen(pressed ? kWhite : kGrey, 4));
    p.drawArc(box, 225 * 16, 180 * 16);
}

} // namespace orv::render
