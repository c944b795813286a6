// SPDX-License-Identifier: MIT
// The main window's side of the settings dialogs and the window layout: menu items and tool
// buttons, the panel sizes, the minimum window size and the rescue of a squeezed view.
#include "ui/main_form.h"

#include "core/scope/acquisition.h"
#include "render/colour.h"
#include "ui/front_panel.h"
#include "ui/mainview_setup_form.h"
#include "ui/probe_setup_form.h"
#include "ui/set_trig_x_loc_form.h"
#include "ui/trace_view.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>

#include <cstring>

namespace orv::ui {
namespace {

constexpr int kMinimumWindow = 400;
constexpr int kNormalControlPanel = 410;
constexpr int kCollapsed = 2;

void swatch(QLabel* l, uint32_t colour) {
    l->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;")
                         .arg(orv::render::to_qcolor(colour).name()));
}

void toggle_window(QWidget* w) {
    if (!w) return;
    if (w->isVisible()) {
        w->hide();
    } else {
        w->show();
        w->raise();
    }
}

// Tool-bar pictures, drawn so they read the same on every desktop.
QIcon tool_icon(const char* name) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPen ink(QColor(30, 30, 30), 2);
    const QColor screen(20, 40, 20);
    const QColor trace(60, 220, 60);
    const auto frame = [&](bool full_view) {
        p.setPen(QPen(QColor(30, 30, 30), 1));
        p.setBrush(screen);
        p.drawRect(full_view ? QRectF(2.5, 4.5, 19, 15) : QRectF(2.5, 4.5, 13, 10));
    };
    const auto arrow = [&](double x, double y, double dx) {
        p.setPen(QPen(QColor(200, 40, 40), 2));
        p.drawLine(QPointF(x, y), QPointF(x + dx, y));
        p.drawLine(QPointF(x + dx, y), QPointF(x + dx - dx / 3, y - 3));
        p.drawLine(QPointF(x + dx, y), QPointF(x + dx - dx / 3, y + 3));
    };
    const auto marker = [&](double x) {
        p.setPen(QPen(QColor(220, 40, 40), 2));
        p.drawLine(QPointF(x, 4), QPointF(x, 20));
        p.drawLine(QPointF(x - 3, 4), QPointF(x + 3, 4));
    };
    const std::string n = name;
    if (n == "ToolButton1") { // Main View
        frame(true);
        p.setPen(QPen(trace, 1.5));
        p.drawLine(QPointF(4, 15), QPointF(8, 8));
        p.drawLine(QPointF(8, 8), QPointF(13, 16));
        p.drawLine(QPointF(13, 16), QPointF(20, 7));
    } else if (n == "ToolButton2") { // Control
        frame(false);
        p.setPen(ink);
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(QPointF(19, 9), 3, 3);
        p.drawEllipse(QPointF(19, 18), 3, 3);
    } else if (n == "ToolButton4") { // Measurement
        frame(false);
        p.setPen(QPen(QColor(30, 120, 30), 2));
        p.drawLine(QPointF(3, 18), QPointF(21, 18));
        p.drawLine(QPointF(3, 21), QPointF(16, 21));
    } else if (n == "ToolButton3") { // Cursor On/Off
        frame(true);
        p.setPen(QPen(QColor(255, 160, 0), 1.5, Qt::DashLine));
        p.drawLine(QPointF(8, 5), QPointF(8, 19));
        p.drawLine(QPointF(16, 5), QPointF(16, 19));
    } else if (n == "ToolButton19") { // Grid On/Off
        frame(true);
        p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DotLine));
        for (double x : {7.0, 12.0, 17.0}) p.drawLine(QPointF(x, 5), QPointF(x, 19));
        for (double y : {9.0, 14.0}) p.drawLine(QPointF(3, y), QPointF(21, y));
    } else if (n == "ToolButton15") { // View To Left
        p.setPen(ink);
        p.drawLine(QPointF(4, 4), QPointF(4, 20));
        arrow(20, 12, -13);
    } else if (n == "ToolButton16") { // View To Center
        p.setPen(ink);
        p.drawLine(QPointF(12, 3), QPointF(12, 21));
        arrow(2, 12, 7);
        arrow(22, 12, -7);
    } else if (n == "ToolButton17") { // View To Right
        p.setPen(ink);
        p.drawLine(QPointF(20, 4), QPointF(20, 20));
        arrow(4, 12, 13);
    } else if (n == "ToolButton21" || n == "ToolButton23" || n == "ToolButton20") { // Trigger At 20/50/80 %
        const double x = n == "ToolButton21" ? 6 : (n == "ToolButton23" ? 12 : 18);
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawRect(QRectF(1.5, 3.5, 21, 17));
        marker(x);
    } else if (n == "ToolButton22") { // Trig & View At Center
        frame(true);
        marker(12);
        arrow(3, 17, 6);
        arrow(21, 17, -6);
    } else if (n == "ToolButton10") { // Close Tool Bar
        p.setPen(QPen(QColor(180, 30, 30), 2.5));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    }
    return QIcon(pm);
}

} // namespace

QWidget* TMainForm::make_settings_form(const char* class_name) {
    if (std::strcmp(class_name, "TMainview_Setup_Panel") == 0) {
        mainview_setup_ = new TMainview_Setup_Panel(ctx_);
        mainview_setup_->logic_mode = [this] { return scope_->logic_mode; };
        mainview_setup_->pick_colour = [this](uint32_t& c) { return fp_ && fp_->pick_colour && fp_->pick_colour(c); };
        mainview_setup_->on_applied = [this] { apply_mainview_settings(); };
        return mainview_setup_;
    }
    if (std::strcmp(class_name, "TProbe_setup_panel") == 0) {
        probe_setup_ = new TProbe_setup_panel(ctx_);
        probe_setup_->on_applied = [this] { apply_probe_settings(); };
        return probe_setup_;
    }
    if (std::strcmp(class_name, "TSet_trig_x_loc_form") == 0) {
        set_trig_x_loc_ = new TSet_trig_x_loc_form(*scope_);
        return set_trig_x_loc_;
    }
    return nullptr;
}

void TMainForm::apply_mainview_settings() {
    const orv::UserPrefs& p = ctx_.user_prefs;
    if (!scope_->logic_mode) apply_logic_menu_visibility();
    label7_colour_ = static_cast<uint32_t>(p.a_colour);
    label8_colour_ = static_cast<uint32_t>(p.b_colour);
    swatch(Label7, label7_colour_);
    swatch(Label8, label8_colour_);
    swatch(Label5, static_cast<uint32_t>(p.trigger_cursor_colour));
    send_or_reconnect();
}

void TMainForm::apply_probe_settings() {
    // refresh_front_panel recomputes the derived volts with the new factors and refills the lists.
    refresh_front_panel();
}

void TMainForm::MainView1Click() {
    if (!mainview_setup_) return;
    mainview_setup_->show();
    mainview_setup_->raise();
}

void TMainForm::ex_sp8Click() { toggle_window(mainview_setup_); }

void TMainForm::General1Click() {
    if (!probe_setup_) return;
    probe_setup_->show();
    probe_setup_->raise();
}

// ------------------------------------------------------------------ layout

namespace {

void set_second(QSplitter* s, int size) {
    const QList<int> sizes = s->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    s->setSizes({std::max(0, total - size), size});
}

} // namespace

void TMainForm::MaximizeMainView1Click() {
    set_second(Splitter1, kCollapsed);
    set_second(Splitter2, kCollapsed);
    control_panel_open_ = false;
    measure_panel_open_ = false;
}

void TMainForm::MinimizeControlPanel1Click() {
    set_second(Splitter1, kCollapsed);
    control_panel_open_ = false;
}

void TMainForm::NormalizeControlPanel1Click() {
    set_second(Splitter1, kNormalControlPanel);
    control_panel_open_ = true;
}

void TMainForm::MinimizeMeasurementPanel1Click() {
    set_second(Splitter2, kCollapsed);
    measure_panel_open_ = false;
}

void TMainForm::NormalizeMeasurementPanel1Click() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    set_second(Splitter2, (s ? s->size().height() : 800) * 2 / 10);
    measure_panel_open_ = true;
}

void TMainForm::ToolButton1Click() {
    if (control_panel_open_ || measure_panel_open_) {
        MaximizeMainView1Click();
    } else {
        NormalizeControlPanel1Click();
        NormalizeMeasurementPanel1Click();
    }
}

void TMainForm::ToolButton2Click() {
    if (control_panel_open_) MinimizeControlPanel1Click();
    else NormalizeControlPanel1Click();
}

void TMainForm::ToolButton4Click() {
    if (measure_panel_open_) MinimizeMeasurementPanel1Click();
    else NormalizeMeasurementPanel1Click();
}

void TMainForm::ToolBar2Click() { ToolBar1->setVisible(ToolBar1->isHidden()); }

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize() {
    if (width() < kMinimumWindow || height() < kMinimumWindow)
        resize(std::max(width(), kMinimumWindow), std::max(height(), kMinimumWindow));
    if (!Splitter1 || !Splitter2 || !viewpanel) return;
    // A view squeezed to nothing is given back room by shrinking the panel that took it.
    if (viewpanel->width() < 20 && Splitter1->width() > 30) set_second(Splitter1, Splitter1->width() - 30);
    if (viewpanel->height() < 20 && Splitter2->height() > 30) set_second(Splitter2, Splitter2->height() - 30);
}

// ------------------------------------------------------------------ wiring

void TMainForm::wire_settings_layout() {
    setMinimumSize(kMinimumWindow, kMinimumWindow);
    // The panel may be folded down to a sliver; its contents are clipped, not squeezed.
    controlpanel->setMinimumSize(1, 1);
    const auto action = [this](const char* name, void (TMainForm::*handler)()) {
        QAction* a = findChild<QAction*>(QLatin1String(name));
        if (!a) return a;
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    action("MaximizeMainView1", &TMainForm::MaximizeMainView1Click);
    action("MinimizeControlPanel1", &TMainForm::MinimizeControlPanel1Click);
    action("NormalizeControlPanel1", &TMainForm::NormalizeControlPanel1Click);
    action("MinimizeMeasurementPanel1", &TMainForm::MinimizeMeasurementPanel1Click);
    action("NormalizeMeasurementPanel1", &TMainForm::NormalizeMeasurementPanel1Click);
    action("ToolBar2", &TMainForm::ToolBar2Click);
    action("MenuSwitch1", &TMainForm::MenuSwitch1Click);
    action("TrigViewAtCenter1", &TMainForm::ToolButton22Click);
    action("SetTriggleLocationXAxis1", &TMainForm::SetTriggleLocationXAxis1Click);
    action("MainView1", &TMainForm::MainView1Click);
    action("General1", &TMainForm::General1Click);
    action("Cursor1", &TMainForm::Cursor1Click);
    action("Cursor2", &TMainForm::Cursor1Click);

    const std::pair<const char*, void (TMainForm::*)()> tools[] = {
        {"ToolButton1", &TMainForm::ToolButton1Click},   {"ToolButton2", &TMainForm::ToolButton2Click},
        {"ToolButton4", &TMainForm::ToolButton4Click},   {"ToolButton3", &TMainForm::Cursor1Click},
        {"ToolButton19", &TMainForm::ToolButton19Click}, {"ToolButton15", &TMainForm::ToolButton15Click},
        {"ToolButton16", &TMainForm::ToolButton16Click}, {"ToolButton17", &TMainForm::ToolButton17Click},
        {"ToolButton21", &TMainForm::ToolButton21Click}, {"ToolButton23", &TMainForm::ToolButton23Click},
        {"ToolButton20", &TMainForm::ToolButton20Click}, {"ToolButton22", &TMainForm::ToolButton22Click},
        {"ToolButton10", &TMainForm::ToolBar2Click},
    };
    for (const auto& [name, handler] : tools) {
        QAction* a = action(name, handler);
        if (!a) continue;
        a->setToolTip(a->text());
        a->setIcon(tool_icon(name));
    }
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(QSize(24, 24));

    if (auto* ex = findChild<QPushButton*>(QStringLiteral("ex_sp8"))) {
        ex->setEnabled(true);
        connect(ex, &QPushButton::clicked, this, &TMainForm::ex_sp8Click);
    }
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { FormResize(); });
    connect(Splitter2, &QSplitter::splitterMoved, this, [this] { FormResize(); });
}

} // namespace orv::ui
