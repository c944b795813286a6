// SPDX-License-Identifier: MIT
// The engine's side of the main window: its user-interface port, the 40 ms ReadTimer, the
// search dialog's timer and the six workers.
#include "ui/main_form.h"

#include "core/scope/acquisition.h"
#include "ui/message_forms.h"
#include "ui/search_form.h"
#include "ui/trace_view.h"
#include "ui/worker_thread.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace orv::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

constexpr const char* kTimeThreadMessage = "Can't perform TimeThread normally.";
constexpr const char* kTimeThreadCaption = "Timer Error";

} // namespace

// ---- UiPort

void TMainForm::set_caption(std::string_view caption) { setWindowTitle(qs(caption)); }

void TMainForm::set_product_line(std::string_view) {
    // The About box arrives with the help subsystem; it reads the engine's identifier then.
}

void TMainForm::show_message(std::string_view text, std::string_view caption) { show_message_box(text, caption); }

void TMainForm::show_general_error(std::string_view text) {
    if (general_error_) orv::ui::show_general_error(*general_error_, qs(text), this);
}

void TMainForm::show_search_dialog() {
    if (!searchform_) return;
    searchform_->adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen())
        searchform_->move(s->geometry().center() - searchform_->rect().center());
    searchform_->show();
    searchform_->raise();
    searchform_->timer()->start();
}

void TMainForm::hide_search_dialog() {
    if (!searchform_) return;
    searchform_->timer()->stop();
    searchform_->hide();
}

void TMainForm::set_search_text_visible(bool visible) {
    if (searchform_) searchform_->text_label()->setVisible(visible);
}

void TMainForm::redraw_knobs() { set_knobs_from_settings(); }

void TMainForm::refresh_labels() { refresh_front_panel(); }

void TMainForm::set_timebar(int maximum, int position) {
    if (!timebar) return;
    const QSignalBlocker block(timebar);
    timebar->setMaximum(maximum);
    timebar->setValue(position);
}

void TMainForm::enter_scope_layout() {
    if (StandardOscilloscope1) StandardOscilloscope1->setEnabled(false);
    if (LogicalOscilloscope1) LogicalOscilloscope1->setEnabled(true);
}

// ---- timers

void TMainForm::ReadTimerTimer() {
    // The controls the hand-off reads are copied here, on the main thread.
    orv::ControlValues& c = scope_->controls;
    c.show_a = CheckBox1->isChecked();
    c.show_b = CheckBox2->isChecked();
    c.show_trigger = CheckBox3->isChecked();
    c.measure_panel_height = measurepanel->isVisible() ? measurepanel->height() : 0;
    scope_->ReadTimerTimer();
}

void TMainForm::SearchTimerTimer() { scope_->search().tick(); }

void TMainForm::enter_demo() { scope_->search().enter_demo(); }

// ---- workers

void TMainForm::create_workers() {
    time_thread_ = new TimeThread(this);
    time_thread_->set_extras_source([this](TimeExtras& e) {
        e.width = TimeSerieimage->width();
        e.height = TimeSerieimage->height();
        e.x1 = cursor_x1_;
        e.x2 = cursor_x2_;
        e.y1 = cursor_y1_;
        e.y2 = cursor_y2_;
        e.a_colour = label7_colour_;
        e.b_colour = label8_colour_;
        e.timebar_position = scope_->timebar_position();
    });
    connect(time_thread_, &WorkerThread::passDone, this, &TMainForm::on_time_pass_done, Qt::QueuedConnection);
    scope_->set_worker(orv::WorkerKind::Time, time_thread_);

    // The other five take frames once their windows exist; until then they only idle.
    const std::pair<const char*, orv::WorkerKind> others[] = {
        {"CorrelationThread", orv::WorkerKind::Correlation},
        {"StereoThread", orv::WorkerKind::Stereo},
        {"PeakThread", orv::WorkerKind::Peak},
        {"FFT_Thread", orv::WorkerKind::Fft},
        {"xy_Thread", orv::WorkerKind::Xy},
    };
    for (std::size_t i = 0; i < other_workers_.size(); ++i) {
        auto* w = new WorkerThread(others[i].first, this);
        connect(w, &WorkerThread::passDone, this, [w] { w->release(); }, Qt::QueuedConnection);
        other_workers_[i] = w;
        scope_->set_worker(others[i].second, w);
    }
}

void TMainForm::stop_workers() {
    if (time_thread_) {
        time_thread_->wait_idle();
        time_thread_->shutdown();
    }
    for (WorkerThread* w : other_workers_)
        if (w) w->shutdown();
}

void TMainForm::on_time_pass_done() {
    if (!time_thread_) return;
    if (time_thread_->failed()) {
        // Shown once: a renderer that fails keeps failing, and a box per frame would lock the
        // program. The worker stays busy, so no further frames are handed to it.
        if (!timer_error_shown_) {
            timer_error_shown_ = true;
            show_message_box(kTimeThreadMessage, kTimeThreadCaption);
        }
        return;
    }
    const orv::render::TimeResult& r = time_thread_->result();
    if (r.rendered) {
        TimeSerieimage->set_image(time_thread_->image(time_thread_->last_index()));
        ++frames_shown_;
    }
    time_thread_->release();
}

} // namespace orv::ui
