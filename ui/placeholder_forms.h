// SPDX-License-Identifier: MIT
// The windows of later subsystems. They exist from start-up (hidden) so that the window set and
// its creation order are complete; each gains its contents with its own subsystem.
#pragma once

#include <QDialog>

namespace orv::ui {

class PlaceholderForm : public QDialog {
    Q_OBJECT
public:
    PlaceholderForm(const char* class_name, const char* caption, QWidget* parent = nullptr);
};

// The window classes created after the main window, in creation order, with their captions.
struct FormSpec {
    const char* class_name;
    const char* caption;
};
extern const FormSpec kLaterForms[];
extern const int kLaterFormCount;

} // namespace orv::ui
