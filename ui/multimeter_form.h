// SPDX-License-Identifier: MIT
// TMulti_metre_form "Multimeter Module": each channel with the user's resistor as a volt- and
// ammeter. "Change" checks and stores the resistor; the readings come from the measurement pass
// and are set here on the main thread.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orv {
struct MeterReadings;
struct UserPrefs;
} // namespace orv

namespace orv::ui {

class TMulti_metre_form : public QDialog {
    Q_OBJECT
public:
    explicit TMulti_metre_form(orv::UserPrefs& prefs, QWidget* parent = nullptr);

    // Repairs the stored resistors and applies them (runs once at start-up).
    void FormCreate();
    void Button1Click();
    void Button2Click();
    // Main thread, after a measurement pass that ran while this dialog was shown.
    void show_readings(const orv::MeterReadings& readings);

    int32_t ra() const { return ra_; }
    int32_t rb() const { return rb_; }

    // "Invalid Input !": the modal error dialog (tests catch it here).
    std::function<void(const QString&)> on_invalid_input;
    std::function<void(bool)> on_visibility;

    QLabel* Label2 = nullptr; // Va
    QLabel* Label3 = nullptr; // Ia
    QLabel* Label4 = nullptr; // Ra
    QLabel* Label7 = nullptr; // Vb
    QLabel* Label8 = nullptr; // Ib
    QLabel* Label9 = nullptr; // Rb
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool change(char channel, QLineEdit* edit, QComboBox* unit, int32_t& value, int32_t& stored_unit,
                int32_t& ohms, QLabel* label);

    orv::UserPrefs& prefs_;
    int32_t ra_ = 1000;
    int32_t rb_ = 1000;
};

} // namespace orv::ui
