// SPDX-License-Identifier: MIT
// The main window's menus, tool bar and panels. Items whose commands arrive with later
// subsystems are present and disabled until then.
#include "ui/main_form.h"

#include "core/scope/tables.h"
#include "render/colour.h"
#include "ui/knob_widget.h"
#include "ui/trace_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv::ui {
namespace {

QAction* item(QMenu* menu, const char* name, const char* caption, bool enabled = false) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    return a;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, bool enabled = false) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setEnabled(enabled);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

void swatch(QLabel* l, uint32_t colour) {
    const QColor c = orv::render::to_qcolor(colour);
    l->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(c.name()));
    l->setMinimumSize(24, 14);
}

// A knob component: the program draws the knob itself into its bitmap.
KnobWidget* knob(QWidget* parent, const char* name, orv::render::KnobKind kind, int size, int shown = 0) {
    auto* k = new KnobWidget(kind, size, shown > 0 ? shown : size, parent);
    k->setObjectName(QString::fromLatin1(name));
    return k;
}

// A zero button with the up-down pair of its position or level list.
QHBoxLayout* zero_and_spin(QWidget* parent, const char* zero, const char* updown) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(button(parent, zero, "0"), 1);
    for (const char* dir : {"_up", "_down"}) {
        auto* b = new QToolButton(parent);
        b->setObjectName(QString::fromLatin1(updown) + QString::fromLatin1(dir));
        b->setArrowType(dir[1] == 'u' ? Qt::UpArrow : Qt::DownArrow);
        b->setEnabled(false);
        row->addWidget(b);
    }
    return row;
}

QComboBox* list(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEnabled(false);
    return c;
}

} // namespace

void TMainForm::build_menus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    Open1 = item(file, "Open1", "&Open");
    Save1 = item(file, "Save1", "Sa&ve");
    Open2 = item(file, "Open2", "&Open");
    Save2 = item(file, "Save2", "Sa&ve");
    N5 = file->addSeparator();
    N5->setObjectName(QStringLiteral("N5"));
    item(file, "SaveAsJpg1", "Save As JPG");
    item(file, "Print1", "&Print");
    file->addSeparator();
    QAction* exit = item(file, "Exit1", "E&xit", true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    item(view, "MaximizeMainView1", "Maximize Main View");
    item(view, "MinimizeControlPanel1", "Minimize Control Panel");
    item(view, "NormalizeControlPanel1", "Normalize Control Panel");
    item(view, "MinimizeMeasurementPanel1", "Minimize Measurement Panel");
    item(view, "NormalizeMeasurementPanel1", "Normalize Measurement Panel");
    view->addSeparator();
    item(view, "ToolBar2", "Tool Bar");
    item(view, "MenuSwitch1", "Menu S&witch");
    view->addSeparator();
    item(view, "TrigViewAtCenter1", "Trig & View At Center");
    item(view, "SetTriggleLocationXAxis1", "Set Trigger Location (Time-Axis)");

    QMenu* analysis = bar->addMenu(QStringLiteral("&Analysis"));
    analysis->setObjectName(QStringLiteral("Analysis1"));
    item(analysis, "FFT1", "&FFT");
    XYPlot3 = item(analysis, "XYPlot3", "&X-Y Plot");
    XYPlot1 = item(analysis, "XYPlot1", "S &Map");
    CPlot1 = item(analysis, "CPlot1", "&C Map");

    QMenu* setting = bar->addMenu(QStringLiteral("&Setting"));
    setting->setObjectName(QStringLiteral("Setting1"));
    item(setting, "MainView1", "&Main Window");
    item(setting, "General1", "Pro&be");
    item(setting, "Cursor1", "C&ursor");
    item(setting, "Cursor2", "Curso&r");

    QMenu* device = bar->addMenu(QStringLiteral("&Device"));
    device->setObjectName(QStringLiteral("DeviceMenu"));
    Device1 = device->menuAction();
    Device1->setObjectName(QStringLiteral("Device1"));
    StandardOscilloscope1 = item(device, "StandardOscilloscope1", "&Standard Oscilloscope");
    LogicalOscilloscope1 = item(device, "LogicalOscilloscope1", "&Logic Oscilloscope");
    DemoForLogicScope1 = item(device, "DemoForLogicScope1", "Demo For Logic Scope");

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    item(help, "Language1", "&Language");
    item(help, "WebPage1", "&Web Page");
    item(help, "About1", "&About");
}

void TMainForm::build_tool_bar() {
    ToolBar1 = addToolBar(QStringLiteral("Tool Bar"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    auto tool = [this](const char* name, const char* caption) {
        QAction* a = ToolBar1->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(false);
        return a;
    };
    tool("ToolButton1", "Main View");
    tool("ToolButton2", "Control");
    tool("ToolButton4", "Measurement");
    ToolBar1->addSeparator();
    tool("ToolButton3", "Cursor On/Off");
    tool("ToolButton19", "Grid On/Off");
    ToolBar1->addSeparator();
    tool("ToolButton15", "View To Left");
    tool("ToolButton16", "View To Center");
    tool("ToolButton17", "View To Right");
    ToolBar1->addSeparator();
    tool("ToolButton21", "Trigger At 20%");
    tool("ToolButton23", "Trigger At 50%");
    tool("ToolButton20", "Trigger At 80%");
    tool("ToolButton22", "Trig & View At Center");
    ToolBar1->addSeparator();
    // The analysis, file and recorder buttons take their commands with their subsystems.
    tool("ToolButtonFFT", "FFT");
    tool("ToolButtonXY", "X-Y Plot");
    tool("ToolButtonCMap", "C Map");
    tool("ToolButtonSMap", "S Map");
    ToolBar1->addSeparator();
    tool("ToolButtonOpen", "Open");
    tool("ToolButtonSave", "Save");
    tool("ToolButtonRecorder", "Recorder");
    ToolButton32 = tool("ToolButton32", "Logic");
    ToolBar1->addSeparator();
    tool("ToolButton10", "Close Tool Bar");
}

QWidget* TMainForm::build_control_panel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("controlpanel"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(4, 4, 4, 4);

    // One row of three knobs keeps the panel within a small screen's height: the time-base
    // bitmap is shown stretched between the two volts/div knobs.
    auto* knobs = new QGridLayout;
    knobs->setHorizontalSpacing(0);
    using orv::render::KnobKind;
    knobs->addWidget(knob(panel, "v1div", KnobKind::VoltDiv, 136), 0, 0, Qt::AlignHCenter);
    knobs->addWidget(knob(panel, "timediv", KnobKind::TimeBase, 180, 130), 0, 1, Qt::AlignCenter);
    knobs->addWidget(knob(panel, "v2div", KnobKind::VoltDiv, 136), 0, 2, Qt::AlignHCenter);
    knobs->addWidget(list(panel, "a_div_cb"), 1, 0);
    knobs->addWidget(list(panel, "b_div_cb"), 1, 2);
    col->addLayout(knobs);

    auto* couple = new QGridLayout;
    const char* names[2][3] = {{"acoupledc", "acouplegnd", "acoupleac"}, {"bcoupledc", "bcouplegnd", "bcoupleac"}};
    const char* captions[3] = {"DC", "GND", "AC"};
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 3; ++i) couple->addWidget(button(panel, names[ch][i], captions[i]), ch, i);
    col->addLayout(couple);

    auto* pos = new QGridLayout;
    pos->addWidget(knob(panel, "v1pos", KnobKind::Position, 80), 0, 0, Qt::AlignHCenter);
    pos->addWidget(knob(panel, "v2pos", KnobKind::Position, 80), 0, 1, Qt::AlignHCenter);
    pos->addWidget(knob(panel, "trigglelevel", KnobKind::Level, 80), 0, 2, Qt::AlignHCenter);
    pos->addWidget(list(panel, "a_pos_cb"), 1, 0);
    pos->addWidget(list(panel, "b_pos_cb"), 1, 1);
    pos->addWidget(list(panel, "trig_pos_cb"), 1, 2);
    pos->addLayout(zero_and_spin(panel, "SpeedButton1", "UpDown2"), 2, 0);
    pos->addLayout(zero_and_spin(panel, "SpeedButton2", "UpDown3"), 2, 1);
    pos->addLayout(zero_and_spin(panel, "SpeedButton3", "UpDown4"), 2, 2);
    col->addLayout(pos);

    auto* trig = new QHBoxLayout;
    trig->addWidget(button(panel, "atrigbt", "A"));
    trig->addWidget(button(panel, "btrigbt", "B"));
    trig->addWidget(button(panel, "trigedgetop", "up"));
    trig->addWidget(button(panel, "trigedgelevel", "-"));
    trig->addWidget(button(panel, "trigedgebot", "down"));
    col->addLayout(trig);

    // Check boxes and colour swatches: the trace renderer reads them on every frame.
    auto* show = new QGridLayout;
    CheckBox1 = new QCheckBox(panel);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(panel);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox3 = new QCheckBox(panel);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox3}) c->setChecked(true);
    Label7 = label(panel, "Label7", "");
    Label8 = label(panel, "Label8", "");
    Label5 = label(panel, "Label5", "");
    show->addWidget(CheckBox1, 0, 0);
    show->addWidget(label(panel, "Label1", "CH-A"), 0, 1);
    show->addWidget(Label7, 0, 2);
    show->addWidget(CheckBox2, 1, 0);
    show->addWidget(label(panel, "Label2", "CH-B"), 1, 1);
    show->addWidget(Label8, 1, 2);
    show->addWidget(CheckBox3, 2, 0);
    show->addWidget(label(panel, "Label3", "Trig"), 2, 1);
    show->addWidget(Label5, 2, 2);
    show->addWidget(button(panel, "AB1", "A&+/-B"), 0, 3);
    labela_b = label(panel, "labela_b", "");
    show->addWidget(labela_b, 0, 4);
    col->addLayout(show);

    // The run buttons: index = run mode; the highlighted one has a red caption.
    auto* run = new QGridLayout;
    for (int i = 0; i < orv::kRunButtons; ++i) {
        const std::string_view cap = orv::run_button_caption(i);
        const std::string name = "sp_control" + std::to_string(i);
        sp_control[static_cast<std::size_t>(i)] = button(panel, name.c_str(), std::string(cap).c_str());
        run->addWidget(sp_control[static_cast<std::size_t>(i)], i / 4, i % 4);
    }
    sp_control[4]->setVisible(false); // "FREE RUN"
    sp_control[5]->setVisible(false); // "RECORDE"
    col->addLayout(run);

    auto* shortcuts = new QGridLayout;
    const char* ex[][2] = {{"ex_sp0", "FFT"},      {"ex_sp1", "C Map"},      {"ex_sp2", "X-Y Plot"},
                           {"ex_sp5", "S Map"},    {"ex_sp6", "FFT Option"}, {"ex_sp7", "X-Y Option"},
                           {"ex_sp3", "Recorder"}, {"ex_sp4", "Logic"},      {"ex_sp8", "Main Option"}};
    int n = 0;
    for (auto& e : ex) {
        QPushButton* b = button(panel, e[0], e[1]);
        if (n == 7) ex_sp4 = b;
        shortcuts->addWidget(b, n / 3, n % 3);
        ++n;
    }
    sb_4 = button(panel, "sb_4", "Save");
    shortcuts->addWidget(sb_4, 3, 0);
    col->addLayout(shortcuts);
    col->addStretch(1);
    return panel;
}

void TMainForm::build_measure_panel() {
    measurepanel = new QWidget;
    measurepanel->setObjectName(QStringLiteral("measurepanel"));
    measurepanel->setAutoFillBackground(true);
    QPalette pal = measurepanel->palette();
    pal.setColor(QPalette::Window, Qt::black);
    measurepanel->setPalette(pal);
    // Placed, not laid out: the read-outs keep their size and the panel may be narrower than
    // the twelve of them (the rest is clipped), so the window never outgrows the screen.
    measurepanel->setMinimumSize(0, 0);
    for (int i = 0; i < 12; ++i) {
        const std::string name = "mrl_" + std::to_string(i);
        QLabel* l = label(measurepanel, name.c_str(), "      ");
        l->setFixedSize(210, 32);
        l->setStyleSheet(QStringLiteral("color: #00ff00;"));
        l->setProperty("item_index", i);
        mrl[static_cast<std::size_t>(i)] = l;
        l->move(4 + (i % 6) * 214, 4 + (i / 6) * 36);
    }
}

void TMainForm::build_panels() {
    viewpanel = new QWidget;
    viewpanel->setObjectName(QStringLiteral("viewpanel"));
    auto* v = new QVBoxLayout(viewpanel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    TimeSerieimage = new TraceImage(viewpanel);
    TimeSerieimage->setObjectName(QStringLiteral("TimeSerieimage"));
    TimeSerieimage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    timebar = new QScrollBar(Qt::Horizontal, viewpanel);
    timebar->setObjectName(QStringLiteral("timebar"));
    timebar->setPageStep(0);
    timebar->setEnabled(false);
    v->addWidget(TimeSerieimage, 1);
    v->addWidget(timebar);

    build_measure_panel();
    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->addWidget(viewpanel);
    Splitter2->addWidget(measurepanel);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);

    controlpanel = build_control_panel();
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(Splitter2);
    Splitter1->addWidget(controlpanel);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setHandleWidth(4);
    setCentralWidget(Splitter1);
    swatch(Label7, label7_colour_);
    swatch(Label8, label8_colour_);
    wire_front_panel();
    wire_navigation();
    wire_settings_layout();
}

void TMainForm::menu_switch() {
    const bool second_layout = Open2->isVisible();
    for (QAction* a : {Save1, Open1, XYPlot1, CPlot1, XYPlot3}) a->setVisible(second_layout);
    for (QAction* a : {Open2, Save2, N5}) a->setVisible(!second_layout);
}

void TMainForm::apply_logic_menu_visibility() {
    const bool logic = ctx_.user_prefs.logic_scope_enabled == 1;
    for (QAction* a : {Device1, LogicalOscilloscope1, DemoForLogicScope1, ToolButton32}) a->setVisible(logic);
    ex_sp4->setVisible(logic);
    sb_4->setVisible(!logic);
}

void TMainForm::highlight_run_button(int index) {
    highlighted_run_ = orv::run_button_index(index);
    for (int i = 0; i < orv::kRunButtons; ++i) {
        // An explicit colour, so the highlight also shows on a disabled button.
        sp_control[static_cast<std::size_t>(i)]->setStyleSheet(
            i == highlighted_run_ ? QStringLiteral("color: #ff0000;") : QStringLiteral("color: #000000;"));
    }
}

} // namespace orv::ui
