// SPDX-License-Identifier: MIT
// The main window's side of the measurements: the read-out panel, its selection form and copy
// commands, the frequency-tracking buttons, and the result of each PeakThread pass (labels,
// multimeter read-outs and the tracking decision, all applied here on the main thread).
#include "ui/main_form.h"

#include "core/analysis/measurements.h"
#include "core/scope/acquisition.h"
#include "render/colour.h"
#include "ui/analysis_forms.h"
#include "ui/analysis_workers.h"
#include "ui/measure_select_form.h"
#include "ui/message_forms.h"
#include "ui/multimeter_form.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

namespace orv::ui {
namespace {

constexpr const char* kCopyCurrentFailed = "Failed To Copy Current Measurement To Clipboard!";
constexpr const char* kCopyAllFailed = "Failed To Copy Measurements To Clipboard!";
constexpr int kTrackingHoldoffPasses = 2;

bool put_text_on_clipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    const QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    clipboard->setText(s);
    return clipboard->text() == s;
}

void style_label(QLabel* l, uint32_t colour) {
    l->setStyleSheet(QStringLiteral("color: %1;").arg(orv::render::to_qcolor(colour).name()));
}

// 16 points in a face of Arial's widths where there is one: the labels keep their fixed width,
// and the wider default faces would cut "A: Freq= 999.667 Hz" short.
QFont label_font() {
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("DejaVu Sans Condensed")});
    f.setPointSize(16);
    return f;
}

bool running_mode(orv::RunMode m) {
    return m == orv::RunMode::Auto || m == orv::RunMode::Normal || m == orv::RunMode::Single;
}

} // namespace

void TMainForm::wire_measure_panel() {
    AnalysisLinks& a = *analysis_;
    const orv::UserPrefs& p = ctx_.user_prefs;
    for (int i = 0; i < kMeasureTexts; ++i) {
        const auto k = static_cast<std::size_t>(i);
        a.items[k] = std::clamp<int>(p.measure_item[k], 0, kMeasureTexts - 1);
        a.colours[k] = static_cast<uint32_t>(p.measure_colour[k]);
        QLabel* l = mrl[k];
        l->setFont(label_font());
        style_label(l, a.colours[k]);
        // A label beyond the count shows blanks rather than disappearing.
        l->setVisible(true);
        l->setContextMenuPolicy(Qt::DefaultContextMenu);
        l->installEventFilter(&a);
    }
    measurepanel->installEventFilter(&a);
    a.lb_logic_info = measurepanel->findChild<QLabel*>(QStringLiteral("lb_logic_info"));

    a.label_menu = new QMenu(this);
    a.label_menu->setObjectName(QStringLiteral("MeasurePopup"));
    a.label_menu->addAction(QStringLiteral("Copy Current Measurement"), this, &TMainForm::CopyCurrentMeasurement1Click)
        ->setObjectName(QStringLiteral("CopyCurrentMeasurement1"));
    a.label_menu->addAction(QStringLiteral("Copy All Measurements"), this, &TMainForm::SaveAll1Click)
        ->setObjectName(QStringLiteral("SaveAll1"));

    a.filter = [this](QObject* watched, QEvent* event) {
        if (watched == measurepanel) {
            if (event->type() == QEvent::Resize) measurepanelResize();
            return false;
        }
        for (int i = 0; i < kMeasureTexts; ++i) {
            if (watched != mrl[static_cast<std::size_t>(i)]) continue;
            if (event->type() == QEvent::MouseButtonDblClick) {
                mrl_0Click(i);
                return true;
            }
            if (event->type() == QEvent::ContextMenu) {
                mrl_3ContextPopup(i);
                analysis_->label_menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
                return true;
            }
        }
        return false;
    };

    // "FA", "FB", "NFT": a row of the control panel, above its stretch.
    auto* row = new QHBoxLayout;
    const char* names[3][2] = {{"fabutton", "FA"}, {"fbbutton", "FB"}, {"nftbutton", "NFT"}};
    const int modes[3] = {1, 2, 0};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(names[i][1]), controlpanel);
        b->setObjectName(QString::fromLatin1(names[i][0]));
        connect(b, &QPushButton::clicked, this, [this, mode = modes[i]] { fabuttonClick(mode); });
        row->addWidget(b);
        a.tracking_buttons[static_cast<std::size_t>(i)] = b;
    }
    if (auto* col = qobject_cast<QBoxLayout*>(controlpanel->layout()))
        col->insertLayout(std::max(0, col->count() - 1), row);
    fabuttonClick(0);

    if (a.select) {
        a.select->on_ok = [this] {
            AnalysisLinks& s = *analysis_;
            const auto k = static_cast<std::size_t>(s.selected_label);
            s.items[k] = s.select->selection_index();
            s.colours[k] = s.select->colour();
            style_label(mrl[k], s.colours[k]);
            const int count = s.select->count();
            orv::UserPrefs& up = ctx_.user_prefs;
            for (std::size_t i = 0; i < s.items.size(); ++i) {
                up.measure_item[i] = static_cast<int16_t>(s.items[i]);
                up.measure_colour[i] = static_cast<int32_t>(s.colours[i]);
            }
            up.measure_count = static_cast<int16_t>(count);
            ctx_.current_settings.measure_count = static_cast<int16_t>(count);
            measurepanelResize();
        };
        a.select->on_default = [this] {
            const AnalysisLinks& s = *analysis_;
            const orv::UserPrefs& d = ctx_.default_prefs;
            const auto k = static_cast<std::size_t>(s.selected_label);
            s.select->load(d.measure_item[k], static_cast<uint32_t>(d.measure_colour[k]), d.measure_count);
        };
    }
    measurepanelResize();
}

void TMainForm::measurepanelResize() {
    if (!analysis_) return;
    const AnalysisLinks& a = *analysis_;
    const int count = ctx_.current_settings.measure_count;
    const int width = measurepanel->width();
    int left = 10;
    int top = 7;
    for (int i = 0; i < kMeasureTexts; ++i) {
        QLabel* l = mrl[static_cast<std::size_t>(i)];
        const std::string_view text = orv::measure_label_text(a.result, i, a.items[static_cast<std::size_t>(i)], count);
        l->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        if (i > 0 && width < left + l->width() + 1) {
            top += l->height();
            left = 10;
        }
        l->move(left, top);
        left += l->width();
    }
    if (a.lb_logic_info) a.lb_logic_info->setGeometry(10, 10, width - 20, measurepanel->height() - 20);
}

void TMainForm::mrl_0Click(int label) {
    AnalysisLinks& a = *analysis_;
    a.selected_label = std::clamp(label, 0, kMeasureTexts - 1);
    if (!a.select) return;
    const auto k = static_cast<std::size_t>(a.selected_label);
    a.select->show();
    a.select->raise();
    a.select->load(a.items[k], a.colours[k], ctx_.current_settings.measure_count);
}

void TMainForm::mrl_3ContextPopup(int label) { analysis_->context_label = std::clamp(label, 0, kMeasureTexts - 1); }

void TMainForm::CopyCurrentMeasurement1Click() {
    const int label = std::max(0, analysis_->context_label);
    const std::string text =
        orv::copy_current_measurement(mrl[static_cast<std::size_t>(label)]->text().toLatin1().toStdString());
    if (!put_text_on_clipboard(text)) show_message_box(kCopyCurrentFailed, "RTM5800");
}

void TMainForm::SaveAll1Click() {
    std::array<std::string, kMeasureTexts> texts;
    std::array<std::string_view, kMeasureTexts> views;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = mrl[i]->text().toLatin1().toStdString();
        views[i] = texts[i];
    }
    if (!put_text_on_clipboard(orv::copy_all_measurements(views))) show_message_box(kCopyAllFailed, "RTM5800");
}

void TMainForm::fabuttonClick(int mode) {
    AnalysisLinks& a = *analysis_;
    a.tracking = mode == 1 ? orv::FrequencyTracking::ChannelA
                 : mode == 2 ? orv::FrequencyTracking::ChannelB
                             : orv::FrequencyTracking::None;
    const int pressed = mode == 1 ? 0 : (mode == 2 ? 1 : 2);
    for (int i = 0; i < 3; ++i) {
        if (QPushButton* b = a.tracking_buttons[static_cast<std::size_t>(i)])
            b->setStyleSheet(i == pressed ? QStringLiteral("color: #00ff00;") : QStringLiteral("color: #000000;"));
    }
}

void TMainForm::on_peak_pass_done() {
    AnalysisLinks& a = *analysis_;
    PeakThread* w = a.peak_thread;
    const orv::PeakPassOutput& out = w->output();
    a.result = out.measure;
    measurepanelResize();
    if (out.meter_updated && a.meter && a.meter->isVisible()) a.meter->show_readings(out.meter);

    const orv::TrackingDecision& d = out.tracking;
    orv::Torv& cur = ctx_.current_settings;
    const orv::Torv& frame = w->job().frame_settings;
    const int16_t frame_position = d.channel == 0 ? frame.a_position : frame.b_position;
    const int16_t position = d.channel == 0 ? cur.a_position : cur.b_position;
    // A decision is only as good as the frame it was made on. The frames already on their way
    // when a step or a correction was sent still show the old picture and would step again, so
    // the two passes after a change are not applied; a decision made with settings that changed
    // since, with tracking switched off or outside Auto, Normal and Single is dropped too.
    const bool holding = a.tracking_holdoff > 0;
    if (holding) --a.tracking_holdoff;
    const bool current = a.tracking != orv::FrequencyTracking::None && running_mode(cur.run_mode) &&
                         frame.time_base == cur.time_base && frame_position == position;
    if (d.active && !holding && current && orv::apply_tracking(d, cur, ctx_.device_model)) {
        orv::refresh_derived(ctx_, cur);
        if (!scope_->send_settings()) scope_->reconnect();
        redraw_knobs();
        ++a.tracking_steps;
        a.tracking_holdoff = kTrackingHoldoffPasses;
    }
    w->release();
}

} // namespace orv::ui
