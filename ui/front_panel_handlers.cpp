// SPDX-License-Identifier: MIT
// The front panel's handlers: knobs, volts/div, position and level lists, spin and zero buttons,
// coupling, trigger source and edge, run modes, show/hide labels, colour swatches and the math
// trace. Every change writes CurrentSettings and ends with send_settings (reconnect on failure).
#include "ui/main_form.h"

#include "core/scope/acquisition.h"
#include "core/scope/tables.h"
#include "core/scope/value_text.h"
#include "render/colour.h"
#include "ui/front_panel.h"
#include "ui/knob_widget.h"
#include "ui/trace_view.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

namespace orv::ui {
namespace {

// The volts/div lists run from the largest range to the smallest; index 7 is never offered.
constexpr std::array<int, 9> kVoltDivListOrder{6, 5, 4, 3, 2, 1, 0, 9, 8};
constexpr int kPositionEntries = 253;
constexpr int kPositionOffset = 126;
constexpr double kVoltSector = 0.6283185306;

int list_row_of_volt_div(int index) {
    const auto* it = std::find(kVoltDivListOrder.begin(), kVoltDivListOrder.end(), index);
    return it == kVoltDivListOrder.end() ? -1 : static_cast<int>(it - kVoltDivListOrder.begin());
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

void caption_colour(QPushButton* b, const char* colour) {
    if (b) b->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
}

void select_quietly(QComboBox* list, int row) {
    if (!list) return;
    const QSignalBlocker block(list);
    list->setCurrentIndex(row);
}

bool live_mode(orv::RunMode m) {
    return m == orv::RunMode::Auto || m == orv::RunMode::Normal || m == orv::RunMode::Single;
}

} // namespace

// ------------------------------------------------------------------ FrontPanel

FrontPanel::FrontPanel(TMainForm* form) : QObject(form), form_(form) {
    setObjectName(QStringLiteral("front_panel"));
    pick_colour = [form](uint32_t& colour) {
        const QColor c = QColorDialog::getColor(orv::render::to_qcolor(colour), form);
        if (!c.isValid()) return false;
        colour = static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
                 (static_cast<uint32_t>(c.blue()) << 16);
        return true;
    };
}

bool FrontPanel::eventFilter(QObject* watched, QEvent* event) {
    const bool click = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (!click || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return QObject::eventFilter(watched, event);
    const QString name = watched->objectName();
    if (name == QLatin1String("Label1")) form_->Label1Click();
    else if (name == QLatin1String("Label2")) form_->Label2Click();
    else if (name == QLatin1String("Label3")) form_->Label3Click();
    // The swatches open a dialog: a double click must not open a second one.
    else if (event->type() == QEvent::MouseButtonDblClick) return true;
    else if (name == QLatin1String("Label7")) form_->Label7Click();
    else if (name == QLatin1String("Label8")) form_->Label8Click();
    else if (name == QLatin1String("Label5")) form_->Label5Click();
    else return QObject::eventFilter(watched, event);
    return true;
}

UpDownButtons::UpDownButtons(QToolButton* up, QToolButton* down, QObject* parent)
    : QObject(parent), up_(up), down_(down) {
    for (QToolButton* b : {up_, down_}) {
        b->setEnabled(true);
        b->setAutoRepeat(true);
    }
    connect(up_, &QToolButton::clicked, this, [this] { emit changingEx(1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit changingEx(-1); });
}

// ------------------------------------------------------------------ wiring

void TMainForm::wire_front_panel() {
    fp_ = new FrontPanel(this);
    QWidget* panel = controlpanel;
    const auto knob = [panel](const char* name) { return panel->findChild<KnobWidget*>(QLatin1String(name)); };
    const auto list = [panel](const char* name) {
        auto* c = panel->findChild<QComboBox*>(QLatin1String(name));
        c->setEnabled(true);
        c->setMaxVisibleItems(20);
        return c;
    };
    const auto push = [panel](const char* name) {
        auto* b = panel->findChild<QPushButton*>(QLatin1String(name));
        b->setEnabled(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };

    const char* knob_names[FrontPanel::KnobCount] = {"timediv", "v1div", "v2div", "v1pos", "v2pos", "trigglelevel"};
    for (int i = 0; i < FrontPanel::KnobCount; ++i) {
        KnobWidget* k = knob(knob_names[i]);
        fp_->knobs[static_cast<std::size_t>(i)] = k;
        k->setEnabled(true);
        connect(k, &KnobWidget::mouseUp, this, &TMainForm::v1posMouseUp);
    }
    connect(fp_->knobs[FrontPanel::TimeDiv], &KnobWidget::mouseDown, this, &TMainForm::timedivMouseDown);
    connect(fp_->knobs[FrontPanel::TimeDiv], &KnobWidget::mouseMove, this, &TMainForm::timedivMousMove);
    connect(fp_->knobs[FrontPanel::V1Div], &KnobWidget::mouseDown, this, &TMainForm::v1divMouseDown);
    connect(fp_->knobs[FrontPanel::V1Div], &KnobWidget::mouseMove, this, &TMainForm::v1divMouseMove);
    connect(fp_->knobs[FrontPanel::V2Div], &KnobWidget::mouseDown, this, &TMainForm::v2divMouseDown);
    connect(fp_->knobs[FrontPanel::V2Div], &KnobWidget::mouseMove, this, &TMainForm::v2divMouseMove);
    connect(fp_->knobs[FrontPanel::V1Pos], &KnobWidget::mouseDown, this, &TMainForm::v1posMouseDown);
    connect(fp_->knobs[FrontPanel::V1Pos], &KnobWidget::mouseMove, this, &TMainForm::v1posMouseMove);
    connect(fp_->knobs[FrontPanel::V2Pos], &KnobWidget::mouseDown, this, &TMainForm::v2posMouseDown);
    connect(fp_->knobs[FrontPanel::V2Pos], &KnobWidget::mouseMove, this, &TMainForm::v2posMouseMove);
    connect(fp_->knobs[FrontPanel::TriggerLevel], &KnobWidget::mouseDown, this, &TMainForm::trigglelevelMouseDown);
    connect(fp_->knobs[FrontPanel::TriggerLevel], &KnobWidget::mouseMove, this, &TMainForm::trigglelevelMouseMove);

    fp_->a_div_cb = list("a_div_cb");
    fp_->b_div_cb = list("b_div_cb");
    fp_->a_pos_cb = list("a_pos_cb");
    fp_->b_pos_cb = list("b_pos_cb");
    fp_->trig_pos_cb = list("trig_pos_cb");
    connect(fp_->a_div_cb, &QComboBox::activated, this, &TMainForm::a_div_cbChange);
    connect(fp_->b_div_cb, &QComboBox::activated, this, &TMainForm::b_div_cbChange);
    connect(fp_->a_pos_cb, &QComboBox::activated, this, &TMainForm::a_pos_cbChange);
    connect(fp_->b_pos_cb, &QComboBox::activated, this, &TMainForm::b_pos_cbChange);
    connect(fp_->trig_pos_cb, &QComboBox::activated, this, &TMainForm::trig_pos_cbChange);

    const auto updown = [&](const char* name) {
        const QString n = QLatin1String(name);
        auto* up = panel->findChild<QToolButton*>(n + QLatin1String("_up"));
        auto* down = panel->findChild<QToolButton*>(n + QLatin1String("_down"));
        auto* u = new UpDownButtons(up, down, fp_);
        u->setObjectName(n);
        return u;
    };
    fp_->UpDown2 = updown("UpDown2");
    fp_->UpDown3 = updown("UpDown3");
    fp_->UpDown4 = updown("UpDown4");
    connect(fp_->UpDown2, &UpDownButtons::changingEx, this, &TMainForm::UpDown2ChangingEx);
    connect(fp_->UpDown3, &UpDownButtons::changingEx, this, &TMainForm::UpDown3ChangingEx);
    connect(fp_->UpDown4, &UpDownButtons::changingEx, this, &TMainForm::UpDown4ChangingEx);

    const char* couple_names[2][3] = {{"acoupledc", "acouplegnd", "acoupleac"}, {"bcoupledc", "bcouplegnd", "bcoupleac"}};
    const int couple_codes[3] = {orv::kCouplingDC, orv::kCouplingGND, orv::kCouplingAC};
    for (int i = 0; i < 3; ++i) {
        fp_->a_couple[static_cast<std::size_t>(i)] = push(couple_names[0][i]);
        fp_->b_couple[static_cast<std::size_t>(i)] = push(couple_names[1][i]);
        const int code = couple_codes[i];
        connect(fp_->a_couple[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, code] { acoupledcClick(code); });
        connect(fp_->b_couple[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, code] { bcoupledcClick(code); });
    }
    fp_->atrigbt = push("atrigbt");
    fp_->btrigbt = push("btrigbt");
    connect(fp_->atrigbt, &QPushButton::clicked, this, [this] { atrigbtClick(0); });
    connect(fp_->btrigbt, &QPushButton::clicked, this, [this] { atrigbtClick(1); });
    fp_->trigedgetop = push("trigedgetop");
    fp_->trigedgelevel = push("trigedgelevel");
    fp_->trigedgebot = push("trigedgebot");
    connect(fp_->trigedgetop, &QPushButton::clicked, this, [this] { trigedgetopClick(orv::kTriggerEdgeRising); });
    connect(fp_->trigedgelevel, &QPushButton::clicked, this, [this] { trigedgetopClick(orv::kTriggerEdgeLevel); });
    connect(fp_->trigedgebot, &QPushButton::clicked, this, [this] { trigedgetopClick(orv::kTriggerEdgeFalling); });

    for (int i = 0; i < orv::kRunButtons; ++i) {
        QPushButton* b = sp_control[static_cast<std::size_t>(i)];
        if (i == static_cast<int>(orv::RunMode::Playback)) continue; // the player's own handler
        b->setEnabled(true);
        connect(b, &QPushButton::clicked, this, [this, i] { sp_control0Click(i); });
    }
    connect(push("SpeedButton1"), &QPushButton::clicked, this, &TMainForm::SpeedButton1Click);
    connect(push("SpeedButton2"), &QPushButton::clicked, this, &TMainForm::SpeedButton2Click);
    connect(push("SpeedButton3"), &QPushButton::clicked, this, &TMainForm::SpeedButton3Click);
    connect(push("AB1"), &QPushButton::clicked, this, &TMainForm::AB1Click);

    fp_->Label1 = panel->findChild<QLabel*>(QStringLiteral("Label1"));
    fp_->Label2 = panel->findChild<QLabel*>(QStringLiteral("Label2"));
    fp_->Label3 = panel->findChild<QLabel*>(QStringLiteral("Label3"));
    for (QLabel* l : {fp_->Label1, fp_->Label2, fp_->Label3, Label7, Label8, Label5}) {
        l->installEventFilter(fp_);
        l->setCursor(Qt::PointingHandCursor);
    }
}

// ------------------------------------------------------------------ shared operations

void TMainForm::send_or_reconnect() {
    if (!scope_->send_settings()) scope_->reconnect();
}

namespace {

void fill_position_list(QComboBox* list, double volts_per_div, double counts_per_div, bool level, int selected) {
    if (!list) return;
    const QSignalBlocker block(list);
    list->clear();
    QStringList items;
    items.reserve(kPositionEntries);
    for (int n = -kPositionOffset; n <= kPositionOffset; ++n) {
        const double v = orv::counts_to_volts(n, volts_per_div, counts_per_div);
        items.push_back(qs(level ? orv::format_level(v) : orv::format_volts(v)));
    }
    list->addItems(items);
    list->setCurrentIndex(std::clamp(selected + kPositionOffset, 0, kPositionEntries - 1));
}

} // namespace

void TMainForm::fill_volt_div_lists() {
    if (!fp_) return;
    const orv::UserPrefs& p = ctx_.user_prefs;
    const orv::Torv& s = ctx_.current_settings;
    const auto fill = [](QComboBox* list, double factor, int selected) {
        const QSignalBlocker block(list);
        list->clear();
        for (int index : kVoltDivListOrder)
            list->addItem(qs(orv::format_volts_no_decimals(orv::volts_per_div(index) * factor) + "/Div"));
        list->setCurrentIndex(list_row_of_volt_div(selected));
    };
    fill(fp_->a_div_cb, orv::probe_factor(p.probe_a), s.a_volt_div);
    fill(fp_->b_div_cb, orv::probe_factor(p.probe_b), s.b_volt_div);
}

void TMainForm::refresh_front_panel() {
    if (!fp_) return;
    orv::Torv& s = ctx_.current_settings;
    orv::refresh_derived(ctx_, s);
    fill_volt_div_lists();
    fill_position_list(fp_->a_pos_cb, s.a_volts_per_div, ctx_.counts_per_div, false, s.a_position);
    fill_position_list(fp_->b_pos_cb, s.b_volts_per_div, ctx_.counts_per_div, false, s.b_position);
    fill_position_list(fp_->trig_pos_cb, s.trigger_source == 1 ? s.b_volts_per_div : s.a_volts_per_div,
                       ctx_.counts_per_div, true, s.trigger_level);
    for (int i = 0; i < 3; ++i) {
        caption_colour(fp_->a_couple[static_cast<std::size_t>(i)], s.a_coupling == i ? "#00ff00" : "#000000");
        caption_colour(fp_->b_couple[static_cast<std::size_t>(i)], s.b_coupling == i ? "#00ff00" : "#000000");
    }
    caption_colour(fp_->atrigbt, s.trigger_source == 0 ? "#00ff00" : "#000000");
    caption_colour(fp_->btrigbt, s.trigger_source == 1 ? "#00ff00" : "#000000");
    const auto glyph = [this](QPushButton* b, const char* picture, const char* fallback) {
        const QIcon icon(QString::fromStdString((ctx_.program_folder.images_dir() / picture).string()));
        if (icon.availableSizes().isEmpty()) {
            b->setIcon(QIcon());
            b->setText(QString::fromLatin1(fallback));
        } else {
            b->setText(QString());
            b->setIcon(icon);
            b->setIconSize(QSize(20, 20));
        }
    };
    glyph(fp_->trigedgetop, s.trigger_edge == orv::kTriggerEdgeRising ? "to_top.bmp" : "top_black.bmp", "/");
    glyph(fp_->trigedgelevel, s.trigger_edge == orv::kTriggerEdgeLevel ? "to_level.bmp" : "level_black.bmp", "-");
    glyph(fp_->trigedgebot, s.trigger_edge == orv::kTriggerEdgeFalling ? "to_bot.bmp" : "bot_black.bmp", "\\");
    fp_->trigedgetop->setToolTip(QStringLiteral("Rising edge"));
    fp_->trigedgelevel->setToolTip(QStringLiteral("Level"));
    fp_->trigedgebot->setToolTip(QStringLiteral("Falling edge"));
    const orv::UserPrefs& p = ctx_.user_prefs;
    labela_b->setText(p.show_a_plus_b ? QStringLiteral("+") : (p.show_a_minus_b ? QStringLiteral("-") : QString()));
    set_knobs_from_settings();
}

void TMainForm::set_knobs_from_settings() {
    if (!fp_) return;
    const orv::Torv& s = ctx_.current_settings;
    const bool ring = ctx_.button_3d_style != 0;
    const int tb = orv::valid_time_base(s.time_base) ? s.time_base : orv::kFallbackTimeBase;
    fp_->knobs[FrontPanel::TimeDiv]->draw(knob_math::time_base_angle(tb), tb, ring);
    fp_->knobs[FrontPanel::V1Div]->draw(knob_math::volt_div_angle(s.a_volt_div), 0, ring);
    fp_->knobs[FrontPanel::V2Div]->draw(knob_math::volt_div_angle(s.b_volt_div), 0, ring);
    fp_->knobs[FrontPanel::V1Pos]->draw(knob_math::position_angle(s.a_position), 0, ring);
    fp_->knobs[FrontPanel::V2Pos]->draw(knob_math::position_angle(s.b_position), 0, ring);
    fp_->knobs[FrontPanel::TriggerLevel]->draw(knob_math::position_angle(s.trigger_level), 0, ring);
    select_quietly(fp_->a_div_cb, list_row_of_volt_div(s.a_volt_div));
    select_quietly(fp_->b_div_cb, list_row_of_volt_div(s.b_volt_div));
    select_quietly(fp_->a_pos_cb, s.a_position + kPositionOffset);
    select_quietly(fp_->b_pos_cb, s.b_position + kPositionOffset);
    select_quietly(fp_->trig_pos_cb, s.trigger_level + kPositionOffset);
}

// ------------------------------------------------------------------ volts/div

namespace {

struct Channel {
    uint8_t& volt_div;
    double& volts_per_div;
    int16_t& position;
    double& position_volts;
    int probe;
    QComboBox* div_list;
    QComboBox* pos_list;
};

} // namespace

// Volts/div of a channel from the knob or the list: derived volts, the channel's position list
// and, for the trigger source, the level list follow, so no list ever shows stale volts.
static void apply_volt_div(orv::ScopeContext& ctx, FrontPanel& fp, int channel, int index) {
    orv::Torv& s = ctx.current_settings;
    Channel ch = channel == 0
                     ? Channel{s.a_volt_div, s.a_volts_per_div, s.a_position, s.a_position_volts, ctx.user_prefs.probe_a,
                               fp.a_div_cb, fp.a_pos_cb}
                     : Channel{s.b_volt_div, s.b_volts_per_div, s.b_position, s.b_position_volts, ctx.user_prefs.probe_b,
                               fp.b_div_cb, fp.b_pos_cb};
    ch.volt_div = static_cast<uint8_t>(index);
    ch.volts_per_div = orv::volts_per_div(index) * orv::probe_factor(ch.probe);
    ch.position_volts = orv::counts_to_volts(ch.position, ch.volts_per_div, ctx.counts_per_div);
    fill_position_list(ch.pos_list, ch.volts_per_div, ctx.counts_per_div, false, ch.position);
    if (s.trigger_source == channel) {
        s.trigger_level_volts = orv::counts_to_volts(s.trigger_level, ch.volts_per_div, ctx.counts_per_div);
        fill_position_list(fp.trig_pos_cb, ch.volts_per_div, ctx.counts_per_div, true, s.trigger_level);
    }
    select_quietly(ch.div_list, list_row_of_volt_div(index));
}

static void volt_div_knob(TMainForm& form, orv::ScopeContext& ctx, FrontPanel& fp, int channel, QPoint p,
                          int device_variant) {
    if (!fp.knob_drag) return;
    KnobWidget* k = fp.knobs[channel == 0 ? FrontPanel::V1Div : FrontPanel::V2Div];
    const auto angle = knob_math::pointer_angle(p.x(), p.y(), k->bitmap().width(), k->bitmap().height());
    if (!angle) return;
    const auto index = knob_math::volt_div_index(*angle, device_variant);
    if (!index) return;
    k->draw((*index + 0.5) * kVoltSector, 0, ctx.button_3d_style != 0);
    apply_volt_div(ctx, fp, channel, *index);
    form.send_or_reconnect();
}

void TMainForm::v1divMouseDown(QPoint p) {
    fp_->knob_drag = true;
    fp_->knobs[FrontPanel::V1Div]->set_pressed_look(true, ctx_.button_3d_style != 0);
    v1divMouseMove(p);
}
void TMainForm::v1divMouseMove(QPoint p) { volt_div_knob(*this, ctx_, *fp_, 0, p, scope_->device_variant); }
void TMainForm::v2divMouseDown(QPoint p) {
    fp_->knob_drag = true;
    fp_->knobs[FrontPanel::V2Div]->set_pressed_look(true, ctx_.button_3d_style != 0);
    v2divMouseMove(p);
}
void TMainForm::v2divMouseMove(QPoint p) { volt_div_knob(*this, ctx_, *fp_, 1, p, scope_->device_variant); }

void TMainForm::a_div_cbChange() {
    const int row = fp_->a_div_cb->currentIndex();
    if (row < 0 || row >= static_cast<int>(kVoltDivListOrder.size())) return;
    apply_volt_div(ctx_, *fp_, 0, kVoltDivListOrder[static_cast<std::size_t>(row)]);
    send_or_reconnect();
    set_knobs_from_settings();
    CheckBox1->setFocus();
}

void TMainForm::b_div_cbChange() {
    const int row = fp_->b_div_cb->currentIndex();
    if (row < 0 || row >= static_cast<int>(kVoltDivListOrder.size())) return;
    apply_volt_div(ctx_, *fp_, 1, kVoltDivListOrder[static_cast<std::size_t>(row)]);
    send_or_reconnect();
    set_knobs_from_settings();
    CheckBox1->setFocus();
}

// ------------------------------------------------------------------ position and level

namespace {

enum class Target { A, B, Level };

void store_value(orv::ScopeContext& ctx, Target t, int value) {
    orv::Torv& s = ctx.current_settings;
    const auto v = static_cast<int16_t>(std::clamp(value, -kPositionOffset, kPositionOffset));
    switch (t) {
    case Target::A:
        s.a_position = v;
        s.a_position_volts = orv::counts_to_volts(v, s.a_volts_per_div, ctx.counts_per_div);
        break;
    case Target::B:
        s.b_position = v;
        s.b_position_volts = orv::counts_to_volts(v, s.b_volts_per_div, ctx.counts_per_div);
        break;
    case Target::Level:
        s.trigger_level = v;
        s.trigger_level_volts = orv::counts_to_volts(
            v, s.trigger_source == 1 ? s.b_volts_per_div : s.a_volts_per_div, ctx.counts_per_div);
        break;
    }
}

QComboBox* list_of(FrontPanel& fp, Target t) {
    return t == Target::A ? fp.a_pos_cb : (t == Target::B ? fp.b_pos_cb : fp.trig_pos_cb);
}

int16_t value_of(const orv::Torv& s, Target t) {
    return t == Target::A ? s.a_position : (t == Target::B ? s.b_position : s.trigger_level);
}

} // namespace

static void position_knob(TMainForm& form, orv::ScopeContext& ctx, FrontPanel& fp, Target t, QPoint p) {
    if (!fp.knob_drag) return;
    KnobWidget* k = fp.knobs[t == Target::A ? FrontPanel::V1Pos : (t == Target::B ? FrontPanel::V2Pos : FrontPanel::TriggerLevel)];
    const auto angle = knob_math::pointer_angle(p.x(), p.y(), k->bitmap().width(), k->bitmap().height());
    if (!angle) return;
    double draw_angle = 0;
    const auto value = knob_math::position_value(*angle, &draw_angle);
    if (!value) return;
    k->draw(draw_angle, 0, ctx.button_3d_style != 0);
    store_value(ctx, t, *value);
    form.send_or_reconnect();
    select_quietly(list_of(fp, t), *value + kPositionOffset);
}

void TMainForm::v1posMouseDown(QPoint p) {
    fp_->knob_drag = true;
    fp_->knobs[FrontPanel::V1Pos]->set_pressed_look(true, ctx_.button_3d_style != 0);
    v1posMouseMove(p);
}
void TMainForm::v1posMouseMove(QPoint p) { position_knob(*this, ctx_, *fp_, Target::A, p); }
void TMainForm::v2posMouseDown(QPoint p) {
    fp_->knob_drag = true;
    fp_->knobs[FrontPanel::V2Pos]->set_pressed_look(true, ctx_.button_3d_style != 0);
    v2posMouseMove(p);
}
void TMainForm::v2posMouseMove(QPoint p) { position_knob(*this, ctx_, *fp_, Target::B, p); }
void TMainForm::trigglelevelMouseDown(QPoint p) {
    fp_->knob_drag = true;
    fp_->knobs[FrontPanel::TriggerLevel]->set_pressed_look(true, ctx_.button_3d_style != 0);
    trigglelevelMouseMove(p);
}
void TMainForm::trigglelevelMouseMove(QPoint p) { position_knob(*this, ctx_, *fp_, Target::Level, p); }

void TMainForm::v1posMouseUp() {
    fp_->knob_drag = false;
    const bool ring = ctx_.button_3d_style != 0;
    for (KnobWidget* k : fp_->knobs) k->set_pressed_look(false, ring);
}

static void list_change(TMainForm& form, orv::ScopeContext& ctx, FrontPanel& fp, Target t) {
    QComboBox* list = list_of(fp, t);
    const int row = list->currentIndex();
    if (row < 0) return;
    store_value(ctx, t, row - kPositionOffset);
    form.send_or_reconnect();
    form.set_knobs_from_settings();
}

void TMainForm::a_pos_cbChange() {
    list_change(*this, ctx_, *fp_, Target::A);
    CheckBox1->setFocus();
}
void TMainForm::b_pos_cbChange() {
    list_change(*this, ctx_, *fp_, Target::B);
    CheckBox1->setFocus();
}
void TMainForm::trig_pos_cbChange() {
    list_change(*this, ctx_, *fp_, Target::Level);
    CheckBox1->setFocus();
}

static void spin(TMainForm& form, orv::ScopeContext& ctx, FrontPanel& fp, Target t, int direction) {
    int value = value_of(ctx.current_settings, t);
    if (direction > 0) {
        if (value > 125) return;
        ++value;
    } else {
        if (value < -125) return;
        --value;
    }
    store_value(ctx, t, value);
    form.send_or_reconnect();
    form.set_knobs_from_settings();
    select_quietly(list_of(fp, t), value + kPositionOffset);
}

void TMainForm::UpDown2ChangingEx(int direction) { spin(*this, ctx_, *fp_, Target::A, direction); }
void TMainForm::UpDown3ChangingEx(int direction) { spin(*this, ctx_, *fp_, Target::B, direction); }
void TMainForm::UpDown4ChangingEx(int direction) { spin(*this, ctx_, *fp_, Target::Level, direction); }

void TMainForm::SpeedButton1Click() {
    select_quietly(fp_->a_pos_cb, kPositionOffset);
    a_pos_cbChange();
}
void TMainForm::SpeedButton2Click() {
    select_quietly(fp_->b_pos_cb, kPositionOffset);
    b_pos_cbChange();
}
void TMainForm::SpeedButton3Click() {
    select_quietly(fp_->trig_pos_cb, kPositionOffset);
    trig_pos_cbChange();
}

// ------------------------------------------------------------------ time base

void TMainForm::timedivMouseDown(QPoint p) {
    fp_->knob_drag = true;
    fp_->knobs[FrontPanel::TimeDiv]->set_pressed_look(true, ctx_.button_3d_style != 0);
    timedivMousMove(p);
}

void TMainForm::timedivMousMove(QPoint p) {
    if (!fp_->knob_drag) return;
    KnobWidget* k = fp_->knobs[FrontPanel::TimeDiv];
    const auto angle = knob_math::pointer_angle(p.x(), p.y(), k->bitmap().width(), k->bitmap().height());
    if (!angle) return;
    const bool realtime = fp_->realtime_text_window_visible && fp_->realtime_text_window_visible();
    const auto index = knob_math::time_base_index(*angle, ctx_.device_model, realtime);
    if (!index) return;
    orv::Torv& s = ctx_.current_settings;
    if (*index == s.time_base) return;

    // Where the renderer last put the marker: with the time base the frame was drawn with.
    double column = trigger_marker_column();
    const double old_time = s.time_per_div_ms;
    s.time_per_div_ms = orv::time_per_div_ms(*index);
    s.block_transfer = orv::block_transfer(*index, ctx_.device_model);
    s.time_base = static_cast<uint8_t>(*index);
    k->draw(knob_math::time_base_angle(*index), *index, ctx_.button_3d_style != 0);

    // A view narrower than two pixels has no width to take a percentage of.
    const int w = TimeSerieimage->width();
    const double centre = (w - 1) * 0.5;
    if (live_mode(s.run_mode) && w > 1) {
        if (fp_->marker_reset) {
            fp_->marker_reset = false;
            column = centre;
        }
        s.trigger_x_percent = column * 100.0 / (w - 1);
        s.view_offset = scope_->timebar_position();
    } else if (s.run_mode == orv::RunMode::Hold && s.time_per_div_ms != 0 && w > 1) {
        // Zoom about the view centre, so the marker stays on the same instant of the held frame.
        column = (column - centre) * old_time / s.time_per_div_ms + centre;
        s.trigger_x_percent = column / (w - 1) * 100.0;
        s.view_offset = scope_->timebar_position();
    }
    if (!scope_->send_time_base()) scope_->reconnect();
}

// ------------------------------------------------------------------ buttons

void TMainForm::acoupledcClick(int coupling) {
    ctx_.current_settings.a_coupling = coupling;
    for (int i = 0; i < 3; ++i) caption_colour(fp_->a_couple[static_cast<std::size_t>(i)], i == coupling ? "#00ff00" : "#000000");
    send_or_reconnect();
}

void TMainForm::bcoupledcClick(int coupling) {
    ctx_.current_settings.b_coupling = coupling;
    for (int i = 0; i < 3; ++i) caption_colour(fp_->b_couple[static_cast<std::size_t>(i)], i == coupling ? "#00ff00" : "#000000");
    send_or_reconnect();
}

void TMainForm::atrigbtClick(int source) {
    orv::Torv& s = ctx_.current_settings;
    caption_colour(fp_->atrigbt, source == 0 ? "#00ff00" : "#000000");
    caption_colour(fp_->btrigbt, source == 1 ? "#00ff00" : "#000000");
    s.trigger_source = static_cast<uint8_t>(source);
    const double vpd = source == 1 ? s.b_volts_per_div : s.a_volts_per_div;
    fill_position_list(fp_->trig_pos_cb, vpd, ctx_.counts_per_div, true, s.trigger_level);
    s.trigger_level_volts = orv::counts_to_volts(s.trigger_level, vpd, ctx_.counts_per_div);
    send_or_reconnect();
}

void TMainForm::trigedgetopClick(int edge) {
    ctx_.current_settings.trigger_edge = static_cast<uint8_t>(edge);
    refresh_front_panel();
    send_or_reconnect();
}

void TMainForm::sp_control0Click(int index) {
    orv::Torv& s = ctx_.current_settings;
    orv::Torv& sent = ctx_.sent_settings;
    const auto mode = static_cast<orv::RunMode>(std::clamp(index, 0, orv::kRunButtons - 1));
    s.single_armed = 1;
    if (sent.run_mode == orv::RunMode::Auto && (mode == orv::RunMode::Normal || mode == orv::RunMode::Single))
        scope_->clear_request = true;
    if (live_mode(mode)) {
        // A view narrower than two pixels keeps the trigger where it is.
        const int w = TimeSerieimage->width();
        if (w > 1) {
            s.trigger_x_percent = trigger_marker_column() * 100.0 / (w - 1);
            s.view_offset = scope_->timebar_position();
        }
        scope_->clear_traces();
        scope_->set_frame_length(0);
    }
    if (s.run_mode == orv::RunMode::Playback) {
        if (mode == orv::RunMode::Hold) {
            if (fp_->playback_hold) fp_->playback_hold();
            return;
        }
        if (fp_->close_playback) fp_->close_playback();
    }
    if (s.run_mode == orv::RunMode::NoDevice) return;
    if (s.run_mode == orv::RunMode::Hold && live_mode(mode)) sent.run_mode = orv::RunMode::Hold;
    s.run_mode = mode;
    highlight_run_button(index);
    if (mode == orv::RunMode::Single) {
        s.single_armed = 1;
        if (s.block_transfer == 1) sent.run_mode = orv::RunMode::Auto;
    }
    const auto triggered = [](orv::RunMode m) { return m == orv::RunMode::Normal || m == orv::RunMode::Single; };
    if (!(s.block_transfer == 0 && triggered(sent.run_mode) && triggered(mode))) send_or_reconnect();
}

void TMainForm::Label1Click() { CheckBox1->toggle(); }
void TMainForm::Label2Click() { CheckBox2->toggle(); }
void TMainForm::Label3Click() { CheckBox3->toggle(); }

static void swatch_colour(QLabel* l, uint32_t colour) {
    l->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;")
                         .arg(orv::render::to_qcolor(colour).name()));
}

void TMainForm::Label7Click() {
    uint32_t c = label7_colour_;
    if (!fp_->pick_colour || !fp_->pick_colour(c)) return;
    label7_colour_ = c;
    ctx_.user_prefs.a_colour = static_cast<int32_t>(c);
    swatch_colour(Label7, c);
}

void TMainForm::Label8Click() {
    uint32_t c = label8_colour_;
    if (!fp_->pick_colour || !fp_->pick_colour(c)) return;
    label8_colour_ = c;
    ctx_.user_prefs.b_colour = static_cast<int32_t>(c);
    swatch_colour(Label8, c);
}

void TMainForm::Label5Click() {
    auto c = static_cast<uint32_t>(ctx_.user_prefs.trigger_cursor_colour);
    if (!fp_->pick_colour || !fp_->pick_colour(c)) return;
    ctx_.user_prefs.trigger_cursor_colour = static_cast<int32_t>(c);
    swatch_colour(Label5, c);
}

void TMainForm::AB1Click() {
    orv::UserPrefs& p = ctx_.user_prefs;
    if (!p.show_a_plus_b && !p.show_a_minus_b) {
        p.show_a_plus_b = 1;
    } else if (p.show_a_plus_b) {
        p.show_a_plus_b = 0;
        p.show_a_minus_b = 1;
    } else {
        p.show_a_minus_b = 0;
    }
    labela_b->setText(p.show_a_plus_b ? QStringLiteral("+") : (p.show_a_minus_b ? QStringLiteral("-") : QString()));
}

} // namespace orv::ui
