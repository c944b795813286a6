// SPDX-License-Identifier: MIT
// TFFT_Form "FFT View": the picture FFT_Thread draws, the three cursors the user drags on it,
// and its pop-up menu (setup, print setup, print, copy, close). Closing only hides it.
#pragma once

#include <QDialog>

#include <functional>

#include "core/analysis/fft_view.h"
#include "ui/analysis_workers.h"

class QMenu;

namespace orv {
struct UserPrefs;
}

namespace orv::ui {

class ViewImage;

enum class FftGrab { None, Column, ALevel, BLevel };

// The live cursor state of the view: pixels, fractions of the layout, the grabbed cursor and the
// pointer shape the mouse should show. Plain logic, so it is testable without events.
struct FftCursors {
    int cx = 0, cy_a = 0, cy_b = 0;
    double fx = 0.0, fy_a = 0.0, fy_b = 0.0;
    FftGrab grabbed = FftGrab::None;
    bool dragging = false;
    // yA and yB of the last drawing: a level cursor never goes below them.
    int drawn_y_a = 0, drawn_y_b = 0;

    static constexpr int kTolerance = 2;

    void press(int x, int y, FftChannelDisplay display);
    Qt::CursorShape move(int x, int y, int width, int height, FftChannelDisplay display);
    void release();
    // Pixels from the fractions after a resize or a change of the channel display.
    void place(int width, int height, FftChannelDisplay display);
};

class TFFT_Form : public QDialog {
    Q_OBJECT
public:
    explicit TFFT_Form(orv::UserPrefs& prefs, QWidget* parent = nullptr);

    ViewImage* FFT_map = nullptr;
    QWidget* fftPanel1 = nullptr;
    QMenu* popup = nullptr;

    FftCursors& cursors() { return cursors_; }
    FftCursorPixels cursor_pixels() const { return {cursors_.cx, cursors_.cy_a, cursors_.cy_b}; }
    // Main thread, after FFT_Thread's pass: show the picture and remember its layout.
    void take_result(const FFT_Thread& worker);
    // The resize handler of fftPanel1: places the picture and re-places the cursors.
    void fftPanel1Resize();

    std::function<void()> on_setup;            // "Setup FFT Window"
    std::function<void(bool)> on_visibility;   // shown / hidden

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    FftChannelDisplay display() const;
    void store_cursors();

    orv::UserPrefs& prefs_;
    FftCursors cursors_;
};

} // namespace orv::ui
