// SPDX-License-Identifier: MIT
// The OK / Cancel / Default row that every settings dialog ends with.
#pragma once

#include <functional>

class QBoxLayout;
class QDialog;
class QPushButton;

namespace orv::ui {

struct DialogButtonNames {
    const char* ok = "OK";
    const char* cancel = "Cancel";
    const char* defaults = "Default";
};

struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* defaults;
};

// Adds the row to `into` with each button's component name and handler.
DialogButtons dialog_buttons(QDialog* dialog, QBoxLayout* into, const DialogButtonNames& names,
                             std::function<void()> ok, std::function<void()> cancel,
                             std::function<void()> defaults);

} // namespace orv::ui
