// SPDX-License-Identifier: MIT
// Txy_setup_panel "X-Y Window Setting": orientation and the two colours of the X-Y plot.
#pragma once

#include <QDialog>

class QButtonGroup;

namespace orv {
struct UserPrefs;
}

namespace orv::ui {

class ColourSwatch;

class Txy_setup_panel : public QDialog {
    Q_OBJECT
public:
    Txy_setup_panel(orv::UserPrefs& prefs, const orv::UserPrefs& defaults, QWidget* parent = nullptr);

    void load(const orv::UserPrefs& from);
    void OKClick();
    void DefaultClick();

    QButtonGroup* RadioGroup2 = nullptr;
    ColourSwatch* Label2 = nullptr;  // background
    ColourSwatch* Label10 = nullptr; // line

protected:
    void showEvent(QShowEvent* event) override;

private:
    orv::UserPrefs& prefs_;
    const orv::UserPrefs& defaults_;
};

} // namespace orv::ui
