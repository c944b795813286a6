// SPDX-License-Identifier: MIT
// The device search dialog: stays on top while no instrument is found, blinks its text and lets
// the user enter the demo. The engine's search runs on this dialog's 400 ms timer.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace orv::ui {

class Tsearchform : public QDialog {
    Q_OBJECT
public:
    explicit Tsearchform(QWidget* parent = nullptr);

    QTimer* timer() const { return timer_; }
    QLabel* text_label() const { return text_; }
    QPushButton* demo_button() const { return demo_; }

    // Set by the main window: one search tick, and "Enter &Demo".
    std::function<void()> on_tick;
    std::function<void()> on_enter_demo;

private:
    QLabel* text_;
    QPushButton* demo_;
    QTimer* timer_;
};

} // namespace orv::ui
