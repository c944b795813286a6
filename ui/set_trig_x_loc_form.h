// SPDX-License-Identifier: MIT
// "Time-Axis Trigger Setting": a track bar that places the trigger between 10 % and 90 % of the
// view.
#pragma once

#include <QDialog>

class QLabel;
class QSlider;

namespace orv {
class Scope;
}

namespace orv::ui {

class TSet_trig_x_loc_form : public QDialog {
    Q_OBJECT
public:
    explicit TSet_trig_x_loc_form(orv::Scope& scope, QWidget* parent = nullptr);

    QSlider* trig_x_loc_bar() const { return bar_; }
    void FormShow();
    void trig_x_loc_barChange(int position);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void send();

    orv::Scope& scope_;
    QSlider* bar_ = nullptr;
    QLabel* Label3 = nullptr;
};

} // namespace orv::ui
