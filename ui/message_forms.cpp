// SPDX-License-Identifier: MIT
#include "ui/message_forms.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace orv::ui {
namespace {

QLabel* build(QDialog& d, const char* object_name) {
    d.setObjectName(QString::fromLatin1(object_name));
    d.setWindowTitle(QStringLiteral("Error"));
    auto* icon = new QLabel(&d);
    icon->setPixmap(d.style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto* text = new QLabel(&d);
    text->setObjectName(QStringLiteral("text"));
    auto* ok = new QPushButton(QStringLiteral("OK"), &d);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* col = new QVBoxLayout(&d);
    col->addLayout(row);
    col->addWidget(ok, 0, Qt::AlignHCenter);
    return text;
}

MessageSink& sink() {
    static MessageSink s;
    return s;
}

} // namespace

TErrorForm::TErrorForm(QWidget* parent) : QDialog(parent) {
    text_ = build(*this, "TErrorForm");
    setModal(true);
}
void TErrorForm::set_message(const QString& text) { text_->setText(text); }
QString TErrorForm::message() const { return text_->text(); }

Tgeneral_error_form::Tgeneral_error_form(QWidget* parent) : QDialog(parent) {
    text_ = build(*this, "Tgeneral_error_form");
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
void Tgeneral_error_form::set_message(const QString& text) { text_->setText(text); }
QString Tgeneral_error_form::message() const { return text_->text(); }

void show_error(TErrorForm& form, const QString& text) {
    form.set_message(text);
    form.exec();
}

void show_general_error(Tgeneral_error_form& form, const QString& text, const QWidget* over) {
    form.set_message(text);
    form.adjustSize();
    if (over) form.move(over->geometry().center() - form.rect().center());
    form.show();
    form.raise();
}

void set_message_sink(MessageSink s) { sink() = std::move(s); }

void show_message_box(std::string_view text, std::string_view caption) {
    if (sink()) {
        sink()(text, caption);
        return;
    }
    QMessageBox::information(nullptr, QString::fromUtf8(caption.data(), static_cast<int>(caption.size())),
                             QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

} // namespace orv::ui
