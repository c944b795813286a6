// SPDX-License-Identifier: MIT
// TFFT_setup_panel "FFT Window Setting": edits the FFT view preferences. OK stores them and
// re-places the cursors, Cancel closes, Default loads the factory values without storing.
#pragma once

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;

namespace orv {
struct UserPrefs;
}

namespace orv::ui {

class ColourSwatch;

class TFFT_setup_panel : public QDialog {
    Q_OBJECT
public:
    TFFT_setup_panel(orv::UserPrefs& prefs, const orv::UserPrefs& defaults, QWidget* parent = nullptr);

    void load(const orv::UserPrefs& from);
    void store(orv::UserPrefs& to) const;
    void OKClick();
    void DefaultClick();

    // After OK: the FFT window's panel resize handler.
    std::function<void()> on_stored;

    QButtonGroup* RadioGroup1 = nullptr; // grid draw mode
    QButtonGroup* RadioGroup2 = nullptr; // channel display
    QButtonGroup* RadioGroup3 = nullptr; // cursor draw mode
    QButtonGroup* RadioGroup4 = nullptr; // scheme
    QButtonGroup* RadioGroup5 = nullptr; // display mode
    QCheckBox* CheckBox3 = nullptr;      // cursors
    QCheckBox* CheckBox4 = nullptr;      // grid
    ColourSwatch* Label2 = nullptr;      // background
    ColourSwatch* Label5 = nullptr;      // A
    ColourSwatch* Label10 = nullptr;     // B
    ColourSwatch* Label3 = nullptr;      // cursor
    ColourSwatch* Label7 = nullptr;      // grid

protected:
    void showEvent(QShowEvent* event) override;

private:
    orv::UserPrefs& prefs_;
    const orv::UserPrefs& defaults_;
};

// A titled group of radio buttons, items in order; the group's ids are the item indices.
QButtonGroup* radio_group(QWidget* parent, QLayout* into, const char* name, const char* title,
                          std::initializer_list<const char*> items);

} // namespace orv::ui
