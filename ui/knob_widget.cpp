// SPDX-License-Identifier: MIT
#include "ui/knob_widget.h"

#include "core/scope/tables.h"
#include "render/colour.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orv::ui {
namespace knob_math {
namespace {

constexpr double kDegree = orv::render::kTwoPi / 360.0;
constexpr double kSectorsPerRadianVolt = 1.5915494312177461526;    // 10 sectors
constexpr double kStepsPerRadianPosition = 47.746482927568600730;  // 1.2 degree steps
constexpr double kSectorsPerRadianTime = 3.8197186349225906313;    // 24 sectors
constexpr double kDeadZoneLow = 4.25162205706;
constexpr double kDeadZoneHigh = 5.1731559019399995;
constexpr int kCaptionSector = 7;
constexpr int kVariantWithoutExtremes = 52;

} // namespace

std::optional<double> pointer_angle(int x, int y, int w, int h) {
    const float dx = static_cast<float>(x - w / 2);
    const float dy = static_cast<float>(y - h / 2);
    const int r = static_cast<int>(dx * dx + dy * dy);
    if (r <= 40) return std::nullopt;
    double theta = std::acos(std::clamp(static_cast<double>(dx) / std::sqrt(static_cast<double>(r)), -1.0, 1.0));
    if (dy > 0) theta = orv::render::kTwoPi - theta;
    return theta;
}

std::optional<int> volt_div_index(double angle, int device_variant) {
    const int k = std::clamp(static_cast<int>(angle * kSectorsPerRadianVolt), 0, orv::kVoltDivs - 1);
    if (k == kCaptionSector) return std::nullopt;
    if (device_variant == kVariantWithoutExtremes && (k == 0 || k == 8 || k == 9)) return std::nullopt;
    return k;
}

std::optional<int> position_value(double angle, double* draw_angle) {
    if (angle > kDeadZoneLow && angle < kDeadZoneHigh) return std::nullopt;
    const int c = static_cast<int>(angle * kStepsPerRadianPosition);
    int value;
    if (c < 210) value = 75 - c;
    else if (c > 210) value = 375 - c;
    else return std::nullopt; // inside the dead zone, but never trust float edges
    if (draw_angle) *draw_angle = (c + 0.5) * 1.2 * kDegree;
    return std::clamp(value, -126, 126);
}

std::optional<int> time_base_index(double angle, int device_model, bool realtime_text_window) {
    int index = std::clamp(static_cast<int>(angle * kSectorsPerRadianTime), 0, orv::kTimeBases - 1);
    if (realtime_text_window) index = orv::kSlowestTimeBase;
    const int model = orv::bounded_model(device_model);
    if (model == 2 && index == 17) return std::nullopt;
    if ((model == 3 || model == 4) && (index == 17 || index == 18)) return std::nullopt;
    return index;
}

double volt_div_angle(int index) { return (index + 0.5) * 36.0 * kDegree; }
double time_base_angle(int index) { return (index + 0.5) * 15.0 * kDegree; }
double position_angle(int value) {
    double a = (75.5 - value) * 1.2;
    if (a < 0) a += 360.0;
    return a * kDegree;
}

} // namespace knob_math

KnobWidget::KnobWidget(orv::render::KnobKind kind, int bitmap, int component, QWidget* parent)
    : QWidget(parent), kind_(kind), image_(bitmap, bitmap, QImage::Format_RGB32) {
    image_.fill(orv::render::to_qcolor(orv::render::kSysButtonFace));
    setFixedSize(component, component);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void KnobWidget::draw(double angle, int time_base, bool ring) {
    angle_ = angle;
    time_base_ = time_base;
    orv::render::draw_knob(image_, kind_, angle, time_base, ring);
    if (ring) orv::render::draw_bevel_ring(image_, pressed_);
    update();
}

void KnobWidget::set_pressed_look(bool pressed, bool ring) {
    pressed_ = pressed;
    if (ring) {
        orv::render::draw_bevel_ring(image_, pressed_);
        update();
    }
}

QPoint KnobWidget::to_bitmap(const QPoint& p) const {
    if (width() == image_.width() && height() == image_.height()) return p;
    return {p.x() * image_.width() / std::max(1, width()), p.y() * image_.height() / std::max(1, height())};
}

void KnobWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(rect(), image_);
}

void KnobWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    emit mouseDown(to_bitmap(event->position().toPoint()));
}

void KnobWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    emit mouseMove(to_bitmap(event->position().toPoint()));
}

void KnobWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    emit mouseUp();
}

} // namespace orv::ui
