// SPDX-License-Identifier: MIT
// "Probe Setting": the attenuation of the probe on each channel. It changes only the displayed
// scale and readings, never what is sent to the instrument.
#pragma once

#include <QDialog>

#include <functional>

class QButtonGroup;

namespace orv {
struct ScopeContext;
}

namespace orv::ui {

class TProbe_setup_panel : public QDialog {
    Q_OBJECT
public:
    explicit TProbe_setup_panel(orv::ScopeContext& ctx, QWidget* parent = nullptr);

    // After OK stored the probe codes: derived volts, labels and lists.
    std::function<void()> on_applied;

    QButtonGroup* probe_a_group() const { return a_; }
    QButtonGroup* probe_b_group() const { return b_; }
    void FormShow();
    void Button1Click(); // OK
    void Button2Click(); // Cancel
    void Button3Click(); // Default

protected:
    void showEvent(QShowEvent* event) override;

private:
    orv::ScopeContext& ctx_;
    QButtonGroup* a_ = nullptr;
    QButtonGroup* b_ = nullptr;
};

} // namespace orv::ui
