// SPDX-License-Identifier: MIT
#include "ui/probe_setup_form.h"
#include "ui/dialog_buttons.h"

#include "core/scope/scope_context.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orv::ui {
namespace {

QButtonGroup* probe_group(QWidget* parent, QHBoxLayout* row, const char* name, const char* title) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* col = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    const char* items[] = {"1:1", "1:10", "1:100"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(items[i]), box);
        group->addButton(r, i);
        col->addWidget(r);
    }
    row->addWidget(box);
    return group;
}

void select(QButtonGroup* g, int code) {
    if (QAbstractButton* b = g->button(std::clamp(code, 0, 2))) b->setChecked(true);
}

} // namespace

TProbe_setup_panel::TProbe_setup_panel(orv::ScopeContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint), ctx_(ctx) {
    setObjectName(QStringLiteral("TProbe_setup_panel"));
    setWindowTitle(QStringLiteral("Probe Setting"));
    auto* col = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    a_ = probe_group(this, row, "RadioGroup1", "Probe On A");
    b_ = probe_group(this, row, "RadioGroup2", "Probe On B");
    col->addLayout(row);
    const DialogButtons made = dialog_buttons(this, col, {"Button1", "Button2", "Button3"}, [this] { Button1Click(); },
                                              [this] { Button2Click(); }, [this] { Button3Click(); });
    for (QPushButton* b : {made.ok, made.cancel, made.defaults}) b->setAutoDefault(false);
    FormShow();
}

void TProbe_setup_panel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TProbe_setup_panel::FormShow() {
    select(a_, ctx_.user_prefs.probe_a);
    select(b_, ctx_.user_prefs.probe_b);
}

void TProbe_setup_panel::Button1Click() {
    ctx_.user_prefs.probe_a = static_cast<int16_t>(std::max(0, a_->checkedId()));
    ctx_.user_prefs.probe_b = static_cast<int16_t>(std::max(0, b_->checkedId()));
    if (on_applied) on_applied();
    close();
}

void TProbe_setup_panel::Button2Click() { close(); }

void TProbe_setup_panel::Button3Click() {
    select(a_, 0);
    select(b_, 0);
}

} // namespace orv::ui
