// SPDX-License-Identifier: MIT
// The view as an input surface: grabbing and dragging the cursors and the trigger markers, the
// cursors following a resize, the timebar and the view and trigger-placement commands.
#include "ui/main_form.h"

#include "core/scope/acquisition.h"
#include "core/scope/tables.h"
#include "ui/front_panel.h"
#include "ui/set_trig_x_loc_form.h"
#include "ui/trace_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orv::ui {
namespace {

enum Target : int { None = 0, X1 = 1, X2 = 2, Y1 = 3, Y2 = 4, TimeMarker = 5, LevelMarker = 6 };

// Fractions are stored in the order Y1, Y2, X1, X2.
constexpr int kFracY1 = 0, kFracY2 = 1, kFracX1 = 2, kFracX2 = 3;

} // namespace

double TMainForm::trigger_marker_column() const {
    // The renderer's formula, evaluated for the settings of the frame on screen and the view now.
    const orv::Torv& cur = ctx_.current_settings;
    const orv::Torv& frame = ctx_.frame_settings;
    const double wp = TimeSerieimage->width() - 1;
    const double n = orv::trigger_span(cur.time_base, ctx_.device_model);
    const double nf = orv::trigger_span(frame.time_base, ctx_.device_model);
    const double tc = cur.time_per_div_ms;
    const double tf = frame.time_per_div_ms;
    if (n > 0 && nf > 0 && tc > 0)
        return (n * cur.trigger_x_percent * 0.01 -
                (cur.view_offset - scope_->timebar_position()) * (tf / tc) * n / nf) *
               wp / n;
    return wp * cur.trigger_x_percent * 0.01;
}

int32_t TMainForm::trigger_marker_row() const {
    const double c = (TimeSerieimage->height() - 1) * 0.5;
    const double k = c * 0.008 * ctx_.volts_scale;
    return static_cast<int32_t>(c - ctx_.current_settings.trigger_level * k);
}

void TMainForm::wire_navigation() {
    TimeSerieimage->on_mouse_down = [this](Qt::MouseButton b, int x, int y) { TimeSerieimageMouseDown(b, x, y); };
    TimeSerieimage->on_mouse_move = [this](int x, int y) { TimeSerieimageMouseMove(x, y); };
    TimeSerieimage->on_mouse_up = [this](Qt::MouseButton b) { TimeSerieimageMouseUp(b); };
    TimeSerieimage->on_resize = [this] { Panel7Resize(); };

    timebar->setEnabled(true);
    timebar->setSingleStep(1);
    timebar->setPageStep(100);
    {
        const QSignalBlocker block(timebar);
        timebar->setRange(0, scope_->timebar_maximum());
        timebar->setValue(scope_->timebar_position());
    }
    connect(timebar, &QScrollBar::valueChanged, this, [this](int v) { scope_->set_timebar_position(v); });

    // The view's pop-up menu.
    TimeSerieimage->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* set_loc = new QAction(QStringLiteral("Set Trigger Location (Time-Axis)"), TimeSerieimage);
    set_loc->setObjectName(QStringLiteral("SetTriggleLocationXAxis2"));
    connect(set_loc, &QAction::triggered, this, &TMainForm::SetTriggleLocationXAxis1Click);
    auto* setup = new QAction(QStringLiteral("Setup Main Window"), TimeSerieimage);
    setup->setObjectName(QStringLiteral("dbbbb"));
    connect(setup, &QAction::triggered, this, &TMainForm::MainView1Click);
    TimeSerieimage->addAction(set_loc);
    TimeSerieimage->addAction(setup);
}

void TMainForm::TimeSerieimageMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || !fp_) return;
    fp_->view_drag = true;
    fp_->drag_target = None;
    const int w = TimeSerieimage->width();
    const int h = TimeSerieimage->height();
    const bool markers = CheckBox3->isChecked();
    if (markers && (y <= 9 || y > h - 12) && std::fabs(x - trigger_marker_column()) <= 9) {
        fp_->drag_target = TimeMarker;
        return;
    }
    if (markers && (x <= 9 || x > w - 12) && std::abs(y - trigger_marker_row()) <= 9 && !scope_->logic_mode) {
        fp_->drag_target = LevelMarker;
        return;
    }
    if (!ctx_.user_prefs.cursor_on) return;
    if (std::abs(x - cursor_x1_) <= 2) fp_->drag_target = X1;
    else if (std::abs(x - cursor_x2_) <= 2) fp_->drag_target = X2;
    else if (scope_->logic_mode) return;
    else if (std::abs(y - cursor_y1_) <= 2) fp_->drag_target = Y1;
    else if (std::abs(y - cursor_y2_) <= 2) fp_->drag_target = Y2;
}

void TMainForm::TimeSerieimageMouseMove(int x, int y) {
    if (!fp_) return;
    const int w = TimeSerieimage->width();
    const int h = TimeSerieimage->height();
    x = std::clamp(x, 0, std::max(0, w - 1));
    y = std::clamp(y, 0, std::max(0, h - 1));
    orv::UserPrefs& p = ctx_.user_prefs;
    const int target = fp_->drag_target;
    if (target != None && fp_->view_drag) {
        switch (target) {
        case X1:
        case X2:
            (target == X1 ? cursor_x1_ : cursor_x2_) = x;
            if (w > 1) p.cursor_fractions[target == X1 ? kFracX1 : kFracX2] = static_cast<double>(x) / (w - 1);
            TimeSerieimage->setCursor(Qt::SplitHCursor);
            break;
        case Y1:
        case Y2:
            (target == Y1 ? cursor_y1_ : cursor_y2_) = y;
            if (h > 1) p.cursor_fractions[target == Y1 ? kFracY1 : kFracY2] = static_cast<double>(y) / (h - 1);
            TimeSerieimage->setCursor(Qt::SplitVCursor);
            break;
        case TimeMarker:
            if (w < 2) break;
            TimeSerieimage->setCursor(Qt::PointingHandCursor);
            ctx_.current_settings.trigger_x_percent = x * 100.0 / (w - 1);
            ctx_.current_settings.view_offset = scope_->timebar_position();
            if (scope_->logic_mode) {
                if (!hooks_.apply_logic_settings(*scope_)) scope_->reconnect();
            } else if (!scope_->send_trigger_position()) {
                scope_->reconnect();
            }
            break;
        case LevelMarker: {
            if (h < 2) break;
            TimeSerieimage->setCursor(Qt::PointingHandCursor);
            const int f = static_cast<int>(y * 250.0 / (h - 1));
            const int level = std::clamp(125 - f, -126, 126);
            {
                const QSignalBlocker block(fp_->trig_pos_cb);
                fp_->trig_pos_cb->setCurrentIndex(level + 126);
            }
            trig_pos_cbChange();
            break;
        }
        default: break;
        }
        return;
    }
    if (target != None) {
        TimeSerieimage->setCursor(Qt::ArrowCursor);
        return;
    }
    // Hovering: show what a press here would grab.
    // A hidden time marker cannot be grabbed, so it must not show the hand either; the level zone
    // keeps the hand regardless of the box.
    const bool on_time_marker =
        CheckBox3->isChecked() && (y < 10 || y > h - 12) && std::fabs(x - trigger_marker_column()) < 10;
    const bool on_level_marker =
        (x < 10 || x > w - 12) && std::abs(y - trigger_marker_row()) < 10 && !scope_->logic_mode;
    if (on_time_marker || on_level_marker) TimeSerieimage->setCursor(Qt::PointingHandCursor);
    else if (p.cursor_on && (std::abs(x - cursor_x1_) <= 2 || std::abs(x - cursor_x2_) <= 2))
        TimeSerieimage->setCursor(Qt::SplitHCursor);
    else if (p.cursor_on && !scope_->logic_mode && (std::abs(y - cursor_y1_) <= 2 || std::abs(y - cursor_y2_) <= 2))
        TimeSerieimage->setCursor(Qt::SplitVCursor);
    else
        TimeSerieimage->setCursor(Qt::ArrowCursor);
}

void TMainForm::TimeSerieimageMouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !fp_) return;
    fp_->view_drag = false;
    fp_->drag_target = None;
    TimeSerieimage->setCursor(Qt::ArrowCursor);
}

void TMainForm::Panel7Resize() {
    const int w = TimeSerieimage->width();
    const int h = TimeSerieimage->height();
    const double* f = ctx_.user_prefs.cursor_fractions;
    const auto place = [](int size, double fraction) {
        return std::clamp(static_cast<int32_t>((size - 1) * fraction), 0, std::max(0, size - 1));
    };
    cursor_x1_ = place(w, f[kFracX1]);
    cursor_x2_ = place(w, f[kFracX2]);
    cursor_y1_ = place(h, f[kFracY1]);
    cursor_y2_ = place(h, f[kFracY2]);
}

void TMainForm::Cursor1Click() { ctx_.user_prefs.cursor_on = ctx_.user_prefs.cursor_on ? 0 : 1; }

// The engine owns the position; the bar only shows it.
static void move_view(QScrollBar* bar, orv::Scope& scope, int position) {
    scope.set_timebar_position(position);
    const QSignalBlocker block(bar);
    bar->setValue(scope.timebar_position());
}

void TMainForm::ToolButton15Click() { move_view(timebar, *scope_, 0); }
void TMainForm::ToolButton16Click() { move_view(timebar, *scope_, scope_->timebar_maximum() / 2); }
void TMainForm::ToolButton17Click() { move_view(timebar, *scope_, scope_->timebar_maximum()); }

void TMainForm::ToolButton19Click() { ctx_.user_prefs.grid_on = ctx_.user_prefs.grid_on ? 0 : 1; }

static void place_trigger(orv::Scope& scope, orv::EngineHooks& hooks, double percent) {
    orv::Torv& s = scope.context().current_settings;
    s.trigger_x_percent = percent;
    s.view_offset = scope.timebar_position();
    const bool ok = scope.logic_mode ? hooks.apply_logic_settings(scope) : scope.send_trigger_position();
    if (!ok) scope.reconnect();
}

void TMainForm::ToolButton21Click() { place_trigger(*scope_, hooks_, 20.0); }
void TMainForm::ToolButton23Click() { place_trigger(*scope_, hooks_, 50.0); }
void TMainForm::ToolButton20Click() { place_trigger(*scope_, hooks_, 80.0); }

void TMainForm::ToolButton22Click() {
    move_view(timebar, *scope_, scope_->timebar_maximum() / 2);
    place_trigger(*scope_, hooks_, 50.0);
}

void TMainForm::SetTriggleLocationXAxis1Click() {
    if (!set_trig_x_loc_) return;
    set_trig_x_loc_->show();
    set_trig_x_loc_->raise();
}

} // namespace orv::ui
