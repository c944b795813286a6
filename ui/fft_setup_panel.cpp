// SPDX-License-Identifier: MIT
#include "ui/fft_setup_panel.h"

#include "core/scope/user_prefs.h"
#include "ui/analysis_swatch.h"
#include "ui/dialog_buttons.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv::ui {

QButtonGroup* radio_group(QWidget* parent, QLayout* into, const char* name, const char* title,
                          std::initializer_list<const char*> items) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* v = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    group->setObjectName(QString::fromLatin1(name));
    int id = 0;
    for (const char* item : items) {
        auto* b = new QRadioButton(QString::fromLatin1(item), box);
        v->addWidget(b);
        group->addButton(b, id++);
    }
    into->addWidget(box);
    return group;
}

namespace {

void select(QButtonGroup* g, int id) {
    if (QAbstractButton* b = g->button(id)) b->setChecked(true);
    else if (QAbstractButton* first = g->button(0)) first->setChecked(true);
}

int selected(const QButtonGroup* g) { return g->checkedId() < 0 ? 0 : g->checkedId(); }

} // namespace

TFFT_setup_panel::TFFT_setup_panel(orv::UserPrefs& prefs, const orv::UserPrefs& defaults, QWidget* parent)
    : QDialog(parent), prefs_(prefs), defaults_(defaults) {
    setObjectName(QStringLiteral("TFFT_setup_panel"));
    setWindowTitle(QStringLiteral("FFT Window Setting"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* col = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    RadioGroup2 = radio_group(this, groups, "RadioGroup2", "Channel Display", {"A&&B", " A", " B"});
    RadioGroup5 = radio_group(this, groups, "RadioGroup5", "FFT Display Mode", {"Line", "Area"});
    RadioGroup4 = radio_group(this, groups, "RadioGroup4", "FFT Scheme", {"Absolute", "Percent"});
    col->addLayout(groups);
    auto* modes = new QHBoxLayout;
    RadioGroup1 = radio_group(this, modes, "RadioGroup1", "Grid Draw Mode", {"Line", "Dash"});
    RadioGroup3 = radio_group(this, modes, "RadioGroup3", "Cursor Draw Mode", {"Line", "Dash"});
    col->addLayout(modes);
    auto* checks = new QHBoxLayout;
    CheckBox3 = new QCheckBox(QStringLiteral("Cursor On/Off"), this);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox4 = new QCheckBox(QStringLiteral("Grid On/Off"), this);
    CheckBox4->setObjectName(QStringLiteral("CheckBox4"));
    checks->addWidget(CheckBox3);
    checks->addWidget(CheckBox4);
    col->addLayout(checks);
    auto* colours = new QGridLayout;
    const std::pair<ColourSwatch**, std::pair<const char*, const char*>> swatches[] = {
        {&Label2, {"Label2", "Background Color"}}, {&Label5, {"Label5", "Ch-A Color"}},
        {&Label10, {"Label10", "Ch-B Color"}},     {&Label3, {"Label3", "Cursor Color"}},
        {&Label7, {"Label7", "Grid Color"}},
    };
    int row = 0;
    for (const auto& [slot, names] : swatches) {
        *slot = new ColourSwatch(names.first, this);
        colours->addWidget(new QLabel(QString::fromLatin1(names.second), this), row, 0);
        colours->addWidget(*slot, row, 1);
        ++row;
    }
    col->addLayout(colours);
    dialog_buttons(this, col, {}, [this] { OKClick(); }, [this] { hide(); }, [this] { DefaultClick(); });
    load(prefs_);
}

void TFFT_setup_panel::load(const orv::UserPrefs& p) {
    select(RadioGroup2, p.fftview_channel_display);
    select(RadioGroup5, p.fftview_display_mode);
    select(RadioGroup4, p.fftview_scheme);
    select(RadioGroup1, p.fftview_grid_draw_mode != 0 ? 1 : 0);
    select(RadioGroup3, p.fftview_cursor_draw_mode != 0 ? 1 : 0);
    CheckBox3->setChecked(p.fftview_cursor_on != 0);
    CheckBox4->setChecked(p.fftview_grid_on != 0);
    Label2->set_colour(static_cast<uint32_t>(p.fftview_background_colour));
    Label5->set_colour(static_cast<uint32_t>(p.fftview_a_colour));
    Label10->set_colour(static_cast<uint32_t>(p.fftview_b_colour));
    Label3->set_colour(static_cast<uint32_t>(p.fftview_cursor_colour));
    Label7->set_colour(static_cast<uint32_t>(p.fftview_grid_colour));
}

void TFFT_setup_panel::store(orv::UserPrefs& p) const {
    p.fftview_channel_display = static_cast<int16_t>(selected(RadioGroup2));
    p.fftview_display_mode = static_cast<int16_t>(selected(RadioGroup5));
    p.fftview_scheme = static_cast<int16_t>(selected(RadioGroup4));
    p.fftview_grid_draw_mode = static_cast<int16_t>(selected(RadioGroup1));
    p.fftview_cursor_draw_mode = static_cast<int16_t>(selected(RadioGroup3));
    p.fftview_cursor_on = CheckBox3->isChecked() ? 1 : 0;
    p.fftview_grid_on = CheckBox4->isChecked() ? 1 : 0;
    p.fftview_background_colour = static_cast<int32_t>(Label2->colour());
    p.fftview_a_colour = static_cast<int32_t>(Label5->colour());
    p.fftview_b_colour = static_cast<int32_t>(Label10->colour());
    p.fftview_cursor_colour = static_cast<int32_t>(Label3->colour());
    p.fftview_grid_colour = static_cast<int32_t>(Label7->colour());
}

void TFFT_setup_panel::OKClick() {
    store(prefs_);
    if (on_stored) on_stored();
    hide();
}

void TFFT_setup_panel::DefaultClick() { load(defaults_); }

void TFFT_setup_panel::showEvent(QShowEvent* event) {
    load(prefs_);
    QDialog::showEvent(event);
}

} // namespace orv::ui
