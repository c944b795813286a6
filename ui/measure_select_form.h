// SPDX-License-Identifier: MIT
// Tmeasureselectform "Measurement": picks what one read-out of the measurement panel shows, its
// colour, and how many read-outs are shown.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QButtonGroup;
class QLabel;
class QSlider;

namespace orv::ui {

class ColourSwatch;

class Tmeasureselectform : public QDialog {
    Q_OBJECT
public:
    explicit Tmeasureselectform(QWidget* parent = nullptr);

    // Fills the controls (mrl_0Click).
    void load(int selection_index, uint32_t colour, int count);
    int selection_index() const;
    uint32_t colour() const;
    int count() const;

    void BitBtn1Click();  // OK
    void BitBtn2Click();  // Cancel
    void Button1Click();  // Default
    void TrackBar1Change(int position);

    std::function<void()> on_ok;      // the main window stores the choice and lays out again
    std::function<void()> on_default; // the main window loads the defaults of the remembered label

    QButtonGroup* RadioGroup1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Label1 = nullptr;
    ColourSwatch* Label7 = nullptr;
};

} // namespace orv::ui
