// SPDX-License-Identifier: MIT
// The two message windows many parts of the program use: the modal error dialog and the
// stay-on-top general error window.
#pragma once

#include <QDialog>

#include <functional>
#include <string_view>

class QLabel;

namespace orv::ui {

class TErrorForm : public QDialog {
    Q_OBJECT
public:
    explicit TErrorForm(QWidget* parent = nullptr);
    void set_message(const QString& text);
    QString message() const;

private:
    QLabel* text_;
};

class Tgeneral_error_form : public QDialog {
    Q_OBJECT
public:
    explicit Tgeneral_error_form(QWidget* parent = nullptr);
    void set_message(const QString& text);
    QString message() const;

private:
    QLabel* text_;
};

// Modal: the error dialog with the text.
void show_error(TErrorForm& form, const QString& text);
// Without blocking: the general error window, centred on `over`.
void show_general_error(Tgeneral_error_form& form, const QString& text, const QWidget* over);

// Modal message boxes with a caption (fatal start-up texts, "Timer Error"). Tests replace the
// sink so that nothing blocks; the default shows a QMessageBox.
using MessageSink = std::function<void(std::string_view text, std::string_view caption)>;
void set_message_sink(MessageSink sink);
void show_message_box(std::string_view text, std::string_view caption);

} // namespace orv::ui
