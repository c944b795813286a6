// SPDX-License-Identifier: MIT
#include "ui/search_form.h"

#include "core/scope/search.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orv::ui {

Tsearchform::Tsearchform(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tsearchform"));
    setWindowTitle(QString::fromLatin1(orv::kSearchCaption));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(false);
    text_ = new QLabel(QString::fromLatin1(orv::kSearchText), this);
    text_->setObjectName(QStringLiteral("Label1"));
    QFont f = text_->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    text_->setFont(f);
    // The blinking text must not make the dialog jump: keep its space when hidden.
    QSizePolicy keep = text_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    text_->setSizePolicy(keep);
    demo_ = new QPushButton(QString::fromLatin1(orv::kEnterDemoButton), this);
    demo_->setObjectName(QStringLiteral("Button1"));
    auto* col = new QVBoxLayout(this);
    col->addWidget(text_, 0, Qt::AlignHCenter);
    col->addSpacing(12);
    col->addWidget(demo_, 0, Qt::AlignHCenter);
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(orv::kSearchIntervalMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (on_tick) on_tick();
    });
    connect(demo_, &QPushButton::clicked, this, [this] {
        if (on_enter_demo) on_enter_demo();
    });
}

} // namespace orv::ui
