// SPDX-License-Identifier: MIT
// The windows of the measurement, multimeter and analysis subsystems, created in their places of
// the application's window order, and what the main window keeps of them.
#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

#include "core/analysis/measurements.h"

class QEvent;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;

namespace orv {
struct ScopeContext;
}

namespace orv::ui {

class CorrelationThread;
class FFT_Thread;
class PeakThread;
class StereoThread;
class TFFT_Form;
class TFFT_setup_panel;
class TMulti_metre_form;
class Tcorrviewpanel;
class Tmeasureselectform;
class Tsteroviewpanel;
class Txy_setup_panel;
class Txyplotpanel;
class xy_Thread;

// The window of `class_name` when it belongs to these subsystems, else nullptr.
QWidget* create_analysis_form(const char* class_name, orv::ScopeContext& ctx);

// What the main window holds for the measurement panel and the analysis windows.
class AnalysisLinks : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    TFFT_Form* fft = nullptr;
    TFFT_setup_panel* fft_setup = nullptr;
    Txyplotpanel* xy = nullptr;
    Txy_setup_panel* xy_setup = nullptr;
    Tcorrviewpanel* corr = nullptr;
    Tsteroviewpanel* stereo = nullptr;
    Tmeasureselectform* select = nullptr;
    TMulti_metre_form* meter = nullptr;

    PeakThread* peak_thread = nullptr;
    FFT_Thread* fft_thread = nullptr;
    xy_Thread* xy_thread = nullptr;
    CorrelationThread* corr_thread = nullptr;
    StereoThread* stereo_thread = nullptr;

    // Measurement panel: each label's selection index and font colour, the label double-clicked
    // last and the one whose context menu was opened last (-1: none).
    std::array<int, kMeasureTexts> items{};
    std::array<uint32_t, kMeasureTexts> colours{};
    int selected_label = 0;
    int context_label = -1;
    orv::MeasureResult result;
    orv::FrequencyTracking tracking = orv::FrequencyTracking::None;
    std::array<QPushButton*, 3> tracking_buttons{}; // "FA", "FB", "NFT"
    QMenu* label_menu = nullptr;
    QLabel* lb_logic_info = nullptr;
    uint64_t tracking_steps = 0; // settings changes made by frequency tracking
    int tracking_holdoff = 0;    // passes still to skip after a change

    std::function<bool(QObject*, QEvent*)> filter;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return filter && filter(watched, event); }
};

} // namespace orv::ui
