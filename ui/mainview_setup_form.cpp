// SPDX-License-Identifier: MIT
#include "ui/mainview_setup_form.h"
#include "ui/dialog_buttons.h"

#include "core/scope/scope_context.h"
#include "render/colour.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv::ui {
namespace {

QButtonGroup* radio_group(QWidget* parent, QGridLayout* grid, int column, const char* name, const char* title) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* col = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    group->setObjectName(QString::fromLatin1(name) + QStringLiteral("_items"));
    const char* items[] = {"Line", "Dash", "Dot"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(items[i]), box);
        group->addButton(r, i);
        col->addWidget(r);
    }
    grid->addWidget(box, 0, column);
    return group;
}

QCheckBox* check(QWidget* parent, const char* name, const char* caption) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

void select(QButtonGroup* g, int id) {
    if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}

} // namespace

TMainview_Setup_Panel::TMainview_Setup_Panel(orv::ScopeContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint), ctx_(ctx) {
    setObjectName(QStringLiteral("TMainview_Setup_Panel"));
    setWindowTitle(QStringLiteral("Main Window Setting"));
    auto* col = new QVBoxLayout(this);

    auto* radios = new QGridLayout;
    RadioGroup1 = radio_group(this, radios, 0, "RadioGroup1", "Channel Draw Mode");
    RadioGroup3 = radio_group(this, radios, 1, "RadioGroup3", "Cursor Draw Mode");
    RadioGroup2 = radio_group(this, radios, 2, "RadioGroup2", "Grid Draw Mode");
    col->addLayout(radios);

    // Channel inversion is not offered; the fields stay cleared.
    invert_group_ = new QGroupBox(QStringLiteral("Invert Mode"), this);
    invert_group_->setObjectName(QStringLiteral("GroupBox1"));
    auto* inv = new QHBoxLayout(invert_group_);
    CheckBox1 = check(invert_group_, "CheckBox1", "Chanel A Invert");
    CheckBox2 = check(invert_group_, "CheckBox2", "Chanel B Invert");
    inv->addWidget(CheckBox1);
    inv->addWidget(CheckBox2);
    invert_group_->setEnabled(false);
    invert_group_->setVisible(false);
    col->addWidget(invert_group_);

    auto* colours = new QGroupBox(QStringLiteral("Color"), this);
    auto* cg = new QGridLayout(colours);
    struct SwatchEntry { Swatch s; const char* name; const char* caption; };
    const SwatchEntry entries[] = {{ChannelA, "Label10", "Channel A"},       {ChannelB, "Label8", "Channel B"},
                                {MathTrace, "Label9", "A+/-B Color"},     {Cursor, "Label3", "Cursor Color"},
                                {TriggerCursor, "Label14", "Trig Cursor "}, {Grid, "Label5", "Grid Color"},
                                {Background, "Label2", "BackGround Color"}};
    int n = 0;
    for (const SwatchEntry& sp : entries) {
        auto* l = new QLabel(QString::fromLatin1(sp.caption), colours);
        l->setObjectName(QString::fromLatin1(sp.name));
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumSize(120, 24);
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip(QStringLiteral("Click to choose the colour"));
        l->installEventFilter(this);
        swatches_[static_cast<std::size_t>(sp.s)] = l;
        cg->addWidget(l, n / 2, n % 2);
        ++n;
    }
    col->addWidget(colours);

    auto* boxes = new QHBoxLayout;
    CheckBox3 = check(this, "CheckBox3", "Cursor On/Off");
    CheckBox4 = check(this, "CheckBox4", "Grid On/Off");
    boxes->addWidget(CheckBox3);
    boxes->addWidget(CheckBox4);
    auto* interp = new QGroupBox(QStringLiteral("Interpolation"), this);
    auto* il = new QHBoxLayout(interp);
    CheckBox5 = check(interp, "CheckBox5", " On/Off");
    CheckBox5->setChecked(true);
    il->addWidget(CheckBox5);
    boxes->addWidget(interp);
    auto* logic = new QGroupBox(QStringLiteral("Logic Scope"), this);
    auto* ll = new QHBoxLayout(logic);
    CheckBox6 = check(logic, "CheckBox6", "Logic Scope On/Off ");
    ll->addWidget(CheckBox6);
    boxes->addWidget(logic);
    col->addLayout(boxes);

    const DialogButtons made = dialog_buttons(this, col, {"Button1", "Button2", "Button3"}, [this] { Button1Click(); },
                                              [this] { Button2Click(); }, [this] { Button3Click(); });
    for (QPushButton* b : {made.ok, made.cancel, made.defaults}) b->setAutoDefault(false);
    load(ctx_.user_prefs);
}

void TMainview_Setup_Panel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

bool TMainview_Setup_Panel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < SwatchCount; ++i)
            if (watched == swatches_[static_cast<std::size_t>(i)]) {
                swatch_click(static_cast<Swatch>(i));
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void TMainview_Setup_Panel::paint_swatch(Swatch s) {
    const QColor c = orv::render::to_qcolor(colours_[static_cast<std::size_t>(s)]);
    const double luma = 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    const QColor text = luma > 140 ? Qt::black : Qt::white;
    swatches_[static_cast<std::size_t>(s)]->setStyleSheet(
        QStringLiteral("background-color: %1; color: %2; border: 1px solid black;").arg(c.name(), text.name()));
}

void TMainview_Setup_Panel::load(const orv::UserPrefs& p) {
    select(RadioGroup1, p.channel_draw_mode);
    select(RadioGroup3, p.cursor_draw_mode);
    select(RadioGroup2, p.grid_draw_mode);
    CheckBox1->setChecked(p.invert_a != 0);
    CheckBox2->setChecked(p.invert_b != 0);
    CheckBox3->setChecked(p.cursor_on != 0);
    CheckBox4->setChecked(p.grid_on != 0);
    CheckBox5->setChecked(p.interpolation_on != 0);
    CheckBox6->setChecked(p.logic_scope_enabled != 0);
    colours_[Cursor] = static_cast<uint32_t>(p.cursor_colour);
    colours_[Background] = static_cast<uint32_t>(p.background_colour);
    colours_[MathTrace] = static_cast<uint32_t>(p.ab_colour);
    colours_[ChannelA] = static_cast<uint32_t>(p.a_colour);
    colours_[ChannelB] = static_cast<uint32_t>(p.b_colour);
    colours_[TriggerCursor] = static_cast<uint32_t>(p.trigger_cursor_colour);
    colours_[Grid] = static_cast<uint32_t>(p.grid_colour);
    for (int i = 0; i < SwatchCount; ++i) paint_swatch(static_cast<Swatch>(i));
}

void TMainview_Setup_Panel::FormShow() { load(ctx_.user_prefs); }

void TMainview_Setup_Panel::swatch_click(Swatch s) {
    uint32_t c = colours_[static_cast<std::size_t>(s)];
    if (!pick_colour || !pick_colour(c)) return;
    colours_[static_cast<std::size_t>(s)] = c;
    paint_swatch(s);
}

void TMainview_Setup_Panel::Button1Click() {
    orv::UserPrefs& p = ctx_.user_prefs;
    // The logic oscilloscope cannot be withdrawn while it is running.
    if (!(logic_mode && logic_mode())) p.logic_scope_enabled = CheckBox6->isChecked() ? 1 : 0;
    p.channel_draw_mode = static_cast<int16_t>(std::max(0, RadioGroup1->checkedId()));
    p.cursor_draw_mode = static_cast<int16_t>(std::max(0, RadioGroup3->checkedId()));
    p.grid_draw_mode = static_cast<int16_t>(std::max(0, RadioGroup2->checkedId()));
    p.invert_a = CheckBox1->isChecked() ? 1 : 0;
    p.invert_b = CheckBox2->isChecked() ? 1 : 0;
    p.cursor_on = CheckBox3->isChecked() ? 1 : 0;
    p.grid_on = CheckBox4->isChecked() ? 1 : 0;
    p.interpolation_on = CheckBox5->isChecked() ? 1 : 0;
    p.cursor_colour = static_cast<int32_t>(colours_[Cursor]);
    p.background_colour = static_cast<int32_t>(colours_[Background]);
    p.ab_colour = static_cast<int32_t>(colours_[MathTrace]);
    p.a_colour = static_cast<int32_t>(colours_[ChannelA]);
    p.b_colour = static_cast<int32_t>(colours_[ChannelB]);
    p.trigger_cursor_colour = static_cast<int32_t>(colours_[TriggerCursor]);
    p.grid_colour = static_cast<int32_t>(colours_[Grid]);
    if (on_applied) on_applied();
    close();
}

void TMainview_Setup_Panel::Button2Click() { close(); }

void TMainview_Setup_Panel::Button3Click() {
    load(ctx_.default_prefs);
    CheckBox6->setChecked(true);
}

} // namespace orv::ui
