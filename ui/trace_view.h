// SPDX-License-Identifier: MIT
// TimeSerieimage: shows the picture the trace worker last rendered. It never draws a trace
// itself.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace orv::ui {

class TraceImage : public QWidget {
    Q_OBJECT
public:
    explicit TraceImage(QWidget* parent = nullptr);
    void set_image(const QImage& image);
    const QImage& image() const { return image_; }

    // The main window's cursor and marker handlers: button, position in view pixels.
    std::function<void(Qt::MouseButton, int, int)> on_mouse_down;
    std::function<void(int, int)> on_mouse_move;
    std::function<void(Qt::MouseButton)> on_mouse_up;
    std::function<void()> on_resize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};

} // namespace orv::ui
