// SPDX-License-Identifier: MIT
// A front-panel knob: the component that shows the knob's bitmap and reports the left button
// pressed, dragged and released over it. What a pointer position means is decided by the pure
// functions below, which the main window's knob handlers use.
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

#include "render/knob_render.h"

namespace orv::ui {

namespace knob_math {

// Angle of the pointer (x, y) around the centre of a w x h bitmap, counter-clockwise from three
// o'clock in 0..2pi; nothing within sqrt(40) pixels of the centre, where the angle is noise.
std::optional<double> pointer_angle(int x, int y, int w, int h);

// The volts/div index of a pointer angle; nothing for the caption sector (7) and, on variant 52
// instruments, for the three ranges they lack (0, 8 and 9).
std::optional<int> volt_div_index(double angle, int device_variant);

// The position or trigger-level count of a pointer angle (-126..126); nothing in the dead zone
// around six o'clock. `draw_angle` receives the angle the needle is drawn at.
std::optional<int> position_value(double angle, double* draw_angle = nullptr);

// The time-base index of a pointer angle; nothing for the ranges the model lacks. While the
// real-time text recording window is open only 1 s/div is possible.
std::optional<int> time_base_index(double angle, int device_model, bool realtime_text_window);

// The needle angles of a value (set-knob-from-value).
double volt_div_angle(int index);
double time_base_angle(int index);
double position_angle(int value);

} // namespace knob_math

class KnobWidget : public QWidget {
    Q_OBJECT
public:
    // `bitmap` is the drawing size; the component may be shown larger or smaller (stretched).
    KnobWidget(orv::render::KnobKind kind, int bitmap, int component, QWidget* parent = nullptr);

    orv::render::KnobKind kind() const { return kind_; }
    const QImage& bitmap() const { return image_; }
    // Draws the face; the bevel ring (when `ring`) in the current look.
    void draw(double angle, int time_base, bool ring);
    void set_pressed_look(bool pressed, bool ring);
    bool pressed_look() const { return pressed_; }
    double angle() const { return angle_; }
    // A component point in bitmap coordinates.
    QPoint to_bitmap(const QPoint& p) const;

signals:
    // Bitmap coordinates.
    void mouseDown(QPoint point);
    void mouseMove(QPoint point);
    void mouseUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    orv::render::KnobKind kind_;
    QImage image_;
    double angle_ = 0;
    int time_base_ = 0;
    bool pressed_ = false;
};

} // namespace orv::ui
