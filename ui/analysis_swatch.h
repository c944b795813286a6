// SPDX-License-Identifier: MIT
// The colour swatch of the analysis and measurement dialogs: a label showing a colour value
// (0x00BBGGRR) that opens the colour dialog when clicked.
#pragma once

#include <QLabel>

#include <cstdint>

namespace orv::ui {

class ColourSwatch : public QLabel {
    Q_OBJECT
public:
    ColourSwatch(const char* name, QWidget* parent = nullptr);
    uint32_t colour() const { return colour_; }
    void set_colour(uint32_t colour);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    uint32_t colour_ = 0;
};

} // namespace orv::ui
