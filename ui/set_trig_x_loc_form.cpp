// SPDX-License-Identifier: MIT
#include "ui/set_trig_x_loc_form.h"

#include "core/scope/acquisition.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace orv::ui {

TSet_trig_x_loc_form::TSet_trig_x_loc_form(orv::Scope& scope, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint), scope_(scope) {
    setObjectName(QStringLiteral("TSet_trig_x_loc_form"));
    setWindowTitle(QStringLiteral("Time-Axis Trigger Setting"));
    auto* col = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    bar_ = new QSlider(Qt::Horizontal, this);
    bar_->setObjectName(QStringLiteral("trig_x_loc_bar"));
    bar_->setRange(10, 90);
    bar_->setValue(50);
    bar_->setTickInterval(1);
    bar_->setTickPosition(QSlider::TicksBelow);
    bar_->setMinimumWidth(300);
    Label3 = new QLabel(QStringLiteral("%"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setVisible(false);
    row->addWidget(bar_, 1);
    row->addWidget(Label3);
    col->addLayout(row);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    col->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(bar_, &QSlider::valueChanged, this, &TSet_trig_x_loc_form::trig_x_loc_barChange);
}

void TSet_trig_x_loc_form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TSet_trig_x_loc_form::FormShow() {
    const int percent = static_cast<int>(scope_.context().current_settings.trigger_x_percent);
    {
        // Showing the form only reflects the trigger; a 95 % trigger must not become 90 %.
        const QSignalBlocker block(bar_);
        bar_->setValue(percent);
    }
    Label3->setText(QString::number(percent) + QStringLiteral("%"));
    send();
}

void TSet_trig_x_loc_form::trig_x_loc_barChange(int position) {
    orv::Torv& s = scope_.context().current_settings;
    s.trigger_x_percent = position;
    s.view_offset = scope_.timebar_position();
    Label3->setText(QString::number(position) + QStringLiteral("%"));
    send();
}

void TSet_trig_x_loc_form::send() {
    if (!scope_.send_trigger_position()) scope_.reconnect();
}

} // namespace orv::ui
