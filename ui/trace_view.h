// SPDX-License-Identifier: MIT
// TimeSerieimage: shows the picture the trace worker last rendered. It never draws a trace
// itself.
#pragma once

#include <QImage>
#include <QWidget>

namespace orv::ui {

class TraceImage : public QWidget {
    Q_OBJECT
public:
    explicit TraceImage(QWidget* parent = nullptr);
    void set_image(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace orv::ui
