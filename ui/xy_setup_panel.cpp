// SPDX-License-Identifier: MIT
#include "ui/xy_setup_panel.h"

#include "core/scope/user_prefs.h"
#include "ui/analysis_swatch.h"
#include "ui/dialog_buttons.h"
#include "ui/fft_setup_panel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace orv::ui {

Txy_setup_panel::Txy_setup_panel(orv::UserPrefs& prefs, const orv::UserPrefs& defaults, QWidget* parent)
    : QDialog(parent), prefs_(prefs), defaults_(defaults) {
    setObjectName(QStringLiteral("Txy_setup_panel"));
    setWindowTitle(QStringLiteral("X-Y Window Setting"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* col = new QVBoxLayout(this);
    RadioGroup2 = radio_group(this, col, "RadioGroup2", "X-Y Plot", {"A VS B", "B VS A"});
    auto* colours = new QGridLayout;
    Label2 = new ColourSwatch("Label2", this);
    Label10 = new ColourSwatch("Label10", this);
    colours->addWidget(new QLabel(QStringLiteral("Background Color"), this), 0, 0);
    colours->addWidget(Label2, 0, 1);
    colours->addWidget(new QLabel(QStringLiteral("Line Color"), this), 1, 0);
    colours->addWidget(Label10, 1, 1);
    col->addLayout(colours);
    dialog_buttons(this, col, {}, [this] { OKClick(); }, [this] { hide(); }, [this] { DefaultClick(); });
    load(prefs_);
}

void Txy_setup_panel::load(const orv::UserPrefs& p) {
    RadioGroup2->button(p.xy_mode != 0 ? 1 : 0)->setChecked(true);
    Label2->set_colour(static_cast<uint32_t>(p.xy_background_colour));
    Label10->set_colour(static_cast<uint32_t>(p.xy_line_colour));
}

void Txy_setup_panel::OKClick() {
    prefs_.xy_mode = RadioGroup2->checkedId() > 0 ? 1 : 0;
    prefs_.xy_background_colour = static_cast<int32_t>(Label2->colour());
    prefs_.xy_line_colour = static_cast<int32_t>(Label10->colour());
    hide();
}

void Txy_setup_panel::DefaultClick() { load(defaults_); }

void Txy_setup_panel::showEvent(QShowEvent* event) {
    load(prefs_);
    QDialog::showEvent(event);
}

} // namespace orv::ui
