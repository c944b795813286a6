// SPDX-License-Identifier: MIT
// "Main Window Setting": the look of the main view (line styles, colours, grid, cursors,
// interpolation) and whether the logic oscilloscope is offered. Only OK changes the preferences.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;

namespace orv {
struct ScopeContext;
struct UserPrefs;
} // namespace orv

namespace orv::ui {

class TMainview_Setup_Panel : public QDialog {
    Q_OBJECT
public:
    explicit TMainview_Setup_Panel(orv::ScopeContext& ctx, QWidget* parent = nullptr);

    // The swatches, in the order of their colour fields.
    enum Swatch { Cursor, Background, MathTrace, ChannelA, ChannelB, TriggerCursor, Grid, SwatchCount };

    std::function<bool()> logic_mode;
    std::function<bool(uint32_t& colour)> pick_colour;
    // After OK stored the fields: the main window applies them and sends.
    std::function<void()> on_applied;

    void FormShow();
    void Button1Click(); // OK
    void Button2Click(); // Cancel
    void Button3Click(); // Default
    void swatch_click(Swatch s);
    uint32_t swatch_colour(Swatch s) const { return colours_[static_cast<std::size_t>(s)]; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load(const orv::UserPrefs& p);
    void paint_swatch(Swatch s);

    orv::ScopeContext& ctx_;
    QButtonGroup* RadioGroup1 = nullptr; // channel draw mode
    QButtonGroup* RadioGroup2 = nullptr; // grid draw mode
    QButtonGroup* RadioGroup3 = nullptr; // cursor draw mode
    QGroupBox* invert_group_ = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    std::array<QLabel*, SwatchCount> swatches_{};
    std::array<uint32_t, SwatchCount> colours_{};
};

} // namespace orv::ui
