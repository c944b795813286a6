// SPDX-License-Identifier: MIT
// The main window's side of the analysis windows: their workers, every command that opens them
// (View menu, the analysis menu items, tool and control-panel buttons, Setup menu items) and the
// visibility the frame hand-off reads.
#include "ui/main_form.h"

#include "core/scope/acquisition.h"
#include "ui/analysis_forms.h"
#include "ui/analysis_workers.h"
#include "ui/corr_view_panel.h"
#include "ui/fft_form.h"
#include "ui/fft_setup_panel.h"
#include "ui/measure_select_form.h"
#include "ui/message_forms.h"
#include "ui/multimeter_form.h"
#include "ui/stereo_view_panel.h"
#include "ui/xy_plot_panel.h"
#include "ui/xy_setup_panel.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace orv::ui {
namespace {

void toggle(QWidget* w) {
    if (!w) return;
    if (w->isVisible()) {
        w->hide();
        return;
    }
    w->show();
    w->raise();
    w->activateWindow();
}

void show_front(QWidget* w) {
    if (!w) return;
    if (!w->isVisible()) w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

void TMainForm::attach_analysis(const std::function<QWidget*(const QString&)>& window_of) {
    analysis_ = new AnalysisLinks(this);
    AnalysisLinks& a = *analysis_;
    const auto find = [&]<typename T>(T*& slot, const char* name) {
        slot = qobject_cast<T*>(window_of(QString::fromLatin1(name)));
    };
    find(a.fft, "TFFT_Form");
    find(a.fft_setup, "TFFT_setup_panel");
    find(a.xy, "Txyplotpanel");
    find(a.xy_setup, "Txy_setup_panel");
    find(a.corr, "Tcorrviewpanel");
    find(a.stereo, "Tsteroviewpanel");
    find(a.select, "Tmeasureselectform");
    find(a.meter, "TMulti_metre_form");

    // The workers take the places of the idle ones made at creation (none has run yet).
    a.corr_thread = new CorrelationThread(this);
    a.stereo_thread = new StereoThread(this);
    a.peak_thread = new PeakThread(this);
    a.fft_thread = new FFT_Thread(this);
    a.xy_thread = new xy_Thread(this);
    const std::pair<WorkerThread*, orv::WorkerKind> mine[] = {
        {a.corr_thread, orv::WorkerKind::Correlation}, {a.stereo_thread, orv::WorkerKind::Stereo},
        {a.peak_thread, orv::WorkerKind::Peak},        {a.fft_thread, orv::WorkerKind::Fft},
        {a.xy_thread, orv::WorkerKind::Xy},
    };
    for (std::size_t i = 0; i < other_workers_.size(); ++i) {
        if (WorkerThread* old = other_workers_[i]) {
            old->shutdown();
            delete old;
        }
        other_workers_[i] = mine[i].first;
        scope_->set_worker(mine[i].second, mine[i].first);
    }

    a.peak_thread->set_options_source([this](orv::PeakPassOptions& o) {
        o.tracking = analysis_->tracking;
        o.frame_count = scope_->frame_count();
        o.meter_visible = analysis_->meter && analysis_->meter->isVisible();
    });
    connect(a.peak_thread, &WorkerThread::passDone, this, &TMainForm::on_peak_pass_done, Qt::QueuedConnection);

    const auto image_worker = [this](auto* w, auto* window, QWidget* picture) {
        if (!window) return; // the worker is never handed a frame then
        w->set_size_source([picture] { return picture->size(); });
        connect(w, &WorkerThread::passDone, this, [w, window] {
            window->take_result(*w);
            w->release();
        }, Qt::QueuedConnection);
    };
    image_worker(a.fft_thread, a.fft, a.fft ? a.fft->FFT_map : nullptr);
    if (a.fft) a.fft_thread->set_cursor_source([f = a.fft] { return f->cursor_pixels(); });
    image_worker(a.xy_thread, a.xy, a.xy ? a.xy->picture() : nullptr);
    image_worker(a.corr_thread, a.corr, a.corr ? a.corr->picture() : nullptr);
    image_worker(a.stereo_thread, a.stereo, a.stereo ? a.stereo->picture() : nullptr);

    // The hand-off reads these; they follow the windows however they are shown or hidden.
    orv::ControlValues& c = scope_->controls;
    if (a.fft) a.fft->on_visibility = [&c](bool v) { c.fft_visible = v; };
    if (a.xy) a.xy->on_visibility = [&c](bool v) { c.xy_visible = v; };
    if (a.corr) a.corr->on_visibility = [&c](bool v) { c.correlation_visible = v; };
    if (a.stereo) a.stereo->on_visibility = [&c](bool v) { c.stereo_visible = v; };

    if (a.fft && a.fft_setup) {
        a.fft->on_setup = [s = a.fft_setup] { show_front(s); };
        a.fft_setup->on_stored = [f = a.fft] { f->fftPanel1Resize(); };
    }
    if (a.xy && a.xy_setup) a.xy->on_setup = [s = a.xy_setup] { show_front(s); };
    if (a.meter) {
        a.meter->on_invalid_input = [this](const QString& text) {
            if (error_form_) show_error(*error_form_, text);
            else show_message_box(text.toStdString(), "Error");
        };
    }

    wire_measure_panel();
    wire_analysis_commands();
}

void TMainForm::wire_analysis_commands() {
    AnalysisLinks& a = *analysis_;
    QWidget* fft = a.fft;
    QWidget* xy = a.xy;
    QWidget* corr = a.corr;
    QWidget* stereo = a.stereo;
    QWidget* fft_setup = a.fft_setup;
    QWidget* xy_setup = a.xy_setup;
    QWidget* meter = a.meter;

    const auto on_action = [this](QAction* act, std::function<void()> run) {
        if (!act) return;
        act->setEnabled(true);
        connect(act, &QAction::triggered, this, std::move(run));
    };
    const auto existing_action = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    const auto new_item = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* act = menu->addAction(QString::fromLatin1(caption));
        act->setObjectName(QString::fromLatin1(name));
        return act;
    };

    // View menu.
    if (QMenu* view = findChild<QMenu*>(QStringLiteral("View1"))) {
        view->addSeparator();
        on_action(new_item(view, "FFT2", "&FFT"), [fft] { toggle(fft); });
        on_action(new_item(view, "XYPlot2", "&X-Y Plot"), [xy] { toggle(xy); });
        on_action(new_item(view, "CMap2", "&C Map"), [corr] { toggle(corr); });
        on_action(new_item(view, "SMap2", "&S Map"), [stereo] { toggle(stereo); });
    }
    // The analysis items of the main menu, and the tool bar's buttons.
    on_action(existing_action("FFT1"), [fft] { toggle(fft); });
    on_action(existing_action("XYPlot3"), [xy] { toggle(xy); });
    on_action(existing_action("XYPlot1"), [stereo] { toggle(stereo); });
    on_action(existing_action("CPlot1"), [corr] { toggle(corr); });
    on_action(existing_action("ToolButtonFFT"), [fft] { toggle(fft); });
    on_action(existing_action("ToolButtonXY"), [xy] { toggle(xy); });
    on_action(existing_action("ToolButtonCMap"), [corr] { toggle(corr); });
    on_action(existing_action("ToolButtonSMap"), [stereo] { toggle(stereo); });
    // Setup menu.
    if (QMenu* setup = findChild<QMenu*>(QStringLiteral("Setting1"))) {
        setup->addSeparator();
        on_action(new_item(setup, "FFTWindow1", "&FFT Window"), [fft_setup] { show_front(fft_setup); });
        on_action(new_item(setup, "XYWindow1", "&X-Y Window"), [xy_setup] { show_front(xy_setup); });
    }
    // Tools menu.
    QMenu* tools = findChild<QMenu*>(QStringLiteral("Tools1"));
    if (!tools) {
        tools = menuBar()->addMenu(QStringLiteral("Too&ls"));
        tools->setObjectName(QStringLiteral("Tools1"));
    }
    on_action(new_item(tools, "MultimeterModule1", "Multimeter &Module"), [meter] { toggle(meter); });

    // Control-panel shortcut buttons.
    const std::pair<const char*, QWidget*> buttons[] = {
        {"ex_sp0", fft}, {"ex_sp1", corr}, {"ex_sp2", xy}, {"ex_sp5", stereo}, {"ex_sp6", fft_setup}, {"ex_sp7", xy_setup},
    };
    for (const auto& [name, window] : buttons) {
        if (auto* b = findChild<QPushButton*>(QString::fromLatin1(name))) {
            b->setEnabled(true);
            connect(b, &QPushButton::clicked, this, [w = window] { toggle(w); });
        }
    }
}

} // namespace orv::ui
