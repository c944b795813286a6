// SPDX-License-Identifier: MIT
#include "ui/dialog_buttons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace orv::ui {

DialogButtons dialog_buttons(QDialog* dialog, QBoxLayout* into, const DialogButtonNames& names,
                             std::function<void()> ok, std::function<void()> cancel,
                             std::function<void()> defaults) {
    auto* row = new QHBoxLayout;
    auto make = [&](const char* caption, const char* name, std::function<void()> handler) {
        auto* b = new QPushButton(QString::fromLatin1(caption), dialog);
        b->setObjectName(QString::fromLatin1(name));
        QObject::connect(b, &QPushButton::clicked, dialog, std::move(handler));
        row->addWidget(b);
        return b;
    };
    DialogButtons made{make("OK", names.ok, std::move(ok)), make("Cancel", names.cancel, std::move(cancel)),
                       make("Default", names.defaults, std::move(defaults))};
    into->addLayout(row);
    return made;
}

} // namespace orv::ui
