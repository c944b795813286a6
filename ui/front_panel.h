// SPDX-License-Identifier: MIT
// The front panel's components and interaction state. The main window's handlers
// (front_panel_handlers.cpp) read and write it; the layout creates the components and
// wire_front_panel finds them by name.
#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace orv::ui {

class KnobWidget;
class TMainForm;

// An up-down button pair that never moves a value itself: it only reports the direction.
class UpDownButtons;

class FrontPanel : public QObject {
    Q_OBJECT
public:
    explicit FrontPanel(TMainForm* form);

    enum Knob { TimeDiv, V1Div, V2Div, V1Pos, V2Pos, TriggerLevel, KnobCount };
    std::array<KnobWidget*, KnobCount> knobs{};

    QComboBox* a_div_cb = nullptr;
    QComboBox* b_div_cb = nullptr;
    QComboBox* a_pos_cb = nullptr;
    QComboBox* b_pos_cb = nullptr;
    QComboBox* trig_pos_cb = nullptr;
    UpDownButtons* UpDown2 = nullptr;
    UpDownButtons* UpDown3 = nullptr;
    UpDownButtons* UpDown4 = nullptr;
    std::array<QPushButton*, 3> a_couple{}; // DC, GND, AC
    std::array<QPushButton*, 3> b_couple{};
    QPushButton* atrigbt = nullptr;
    QPushButton* btrigbt = nullptr;
    QPushButton* trigedgetop = nullptr;
    QPushButton* trigedgelevel = nullptr;
    QPushButton* trigedgebot = nullptr;
    QLabel* Label1 = nullptr; // "CH-A"
    QLabel* Label2 = nullptr; // "CH-B"
    QLabel* Label3 = nullptr; // "Trig"

    // Set while the left button is down on any knob.
    bool knob_drag = false;
    // The first time-base change in a live mode centres the trigger time marker.
    bool marker_reset = true;
    // Cursor and marker dragging on the view: 0 none, 1 X1, 2 X2, 3 Y1, 4 Y2, 5 time marker,
    // 6 level marker.
    bool view_drag = false;
    int drag_target = 0;

    // Later subsystems say whether the real-time text recording window is visible and take over
    // the HOLD button and the closing of a playback.
    std::function<bool()> realtime_text_window_visible;
    std::function<void()> playback_hold;
    std::function<void()> close_playback;
    // The colour dialog; tests replace it. Returns false when cancelled.
    std::function<bool(uint32_t& colour)> pick_colour;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TMainForm* form_;
};

class UpDownButtons : public QObject {
    Q_OBJECT
public:
    UpDownButtons(QToolButton* up, QToolButton* down, QObject* parent);
    QToolButton* up() const { return up_; }
    QToolButton* down() const { return down_; }

signals:
    void changingEx(int direction); // +1 up, -1 down

private:
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace orv::ui
