// SPDX-License-Identifier: MIT
#include "ui/multimeter_form.h"

#include "core/analysis/multimeter.h"
#include "core/scope/user_prefs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orv::ui {
namespace {

QString qs(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

QLabel* named_label(QWidget* parent, const char* name, std::string_view text) {
    auto* l = new QLabel(qs(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(150);
    return l;
}

} // namespace

TMulti_metre_form::TMulti_metre_form(orv::UserPrefs& prefs, QWidget* parent) : QDialog(parent), prefs_(prefs) {
    setObjectName(QStringLiteral("TMulti_metre_form"));
    setWindowTitle(QStringLiteral("Multimeter Module"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* grid = new QGridLayout(this);
    const auto channel = [&](int row, const char* title, QLabel*& v, QLabel*& i, QLabel*& r, const char* names[3],
                             std::string_view texts[3], const char* set_text, QLineEdit*& edit, const char* edit_name,
                             QComboBox*& combo, const char* combo_name, QPushButton*& button, const char* button_name) {
        grid->addWidget(new QLabel(QString::fromLatin1(title), this), row, 0);
        v = named_label(this, names[0], texts[0]);
        i = named_label(this, names[1], texts[1]);
        r = named_label(this, names[2], texts[2]);
        grid->addWidget(v, row, 1);
        grid->addWidget(i, row, 2);
        grid->addWidget(r, row, 3);
        grid->addWidget(new QLabel(QString::fromLatin1(set_text), this), row + 1, 0);
        edit = new QLineEdit(QStringLiteral("1"), this);
        edit->setObjectName(QString::fromLatin1(edit_name));
        combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(combo_name));
        for (std::string_view u : orv::kMeterUnits) combo->addItem(qs(u));
        button = new QPushButton(QStringLiteral("Change"), this);
        button->setObjectName(QString::fromLatin1(button_name));
        grid->addWidget(edit, row + 1, 1);
        grid->addWidget(combo, row + 1, 2);
        grid->addWidget(button, row + 1, 3);
    };
    const char* a_names[3] = {"Label2", "Label3", "Label4"};
    std::string_view a_texts[3] = {orv::kMeterInitialVa, orv::kMeterInitialIa, orv::kMeterInitialRa};
    channel(0, "Channel A:", Label2, Label3, Label4, a_names, a_texts, "Set Ra :", Edit1, "Edit1", ComboBox1,
            "ComboBox1", Button1, "Button1");
    const char* b_names[3] = {"Label7", "Label8", "Label9"};
    std::string_view b_texts[3] = {orv::kMeterInitialVb, orv::kMeterInitialIb, orv::kMeterInitialRb};
    channel(2, "Channel B:", Label7, Label8, Label9, b_names, b_texts, "Set Rb :", Edit2, "Edit2", ComboBox2,
            "ComboBox2", Button2, "Button2");
    connect(Button1, &QPushButton::clicked, this, &TMulti_metre_form::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMulti_metre_form::Button2Click);
}

void TMulti_metre_form::FormCreate() {
    orv::repair_meter_setting(prefs_.meter_ra, prefs_.meter_ra_unit);
    orv::repair_meter_setting(prefs_.meter_rb, prefs_.meter_rb_unit);
    Edit1->setText(QString::number(prefs_.meter_ra));
    Edit2->setText(QString::number(prefs_.meter_rb));
    ComboBox1->setCurrentIndex(prefs_.meter_ra_unit);
    ComboBox2->setCurrentIndex(prefs_.meter_rb_unit);
    Button1Click();
    Button2Click();
}

bool TMulti_metre_form::change(char channel, QLineEdit* edit, QComboBox* unit, int32_t& value, int32_t& stored_unit,
                               int32_t& ohms, QLabel* label) {
    const std::string typed = edit->text().toStdString();
    const std::optional<int32_t> n = orv::parse_meter_resistor(typed);
    if (!n) {
        if (on_invalid_input) on_invalid_input(qs(orv::kMeterInvalidInput));
        return false;
    }
    const int32_t u = unit->currentIndex() == 1 ? 1 : 0;
    value = *n;
    stored_unit = u;
    ohms = orv::meter_ohms(*n, u);
    label->setText(QString::fromStdString(orv::meter_resistor_label(channel, typed, u)));
    return true;
}

void TMulti_metre_form::Button1Click() {
    change('a', Edit1, ComboBox1, prefs_.meter_ra, prefs_.meter_ra_unit, ra_, Label4);
}

void TMulti_metre_form::Button2Click() {
    change('b', Edit2, ComboBox2, prefs_.meter_rb, prefs_.meter_rb_unit, rb_, Label9);
}

void TMulti_metre_form::show_readings(const orv::MeterReadings& r) {
    const auto set = [](QLabel* l, const orv::ReadoutText& t) {
        if (t.size() > 0) l->setText(qs(t.view()));
    };
    set(Label2, r.va);
    set(Label3, r.ia);
    set(Label7, r.vb);
    set(Label8, r.ib);
}

void TMulti_metre_form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (on_visibility) on_visibility(true);
}

void TMulti_metre_form::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (on_visibility) on_visibility(false);
}

} // namespace orv::ui
