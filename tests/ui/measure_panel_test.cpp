// SPDX-License-Identifier: MIT
// The measurement panel in the application: its layout, the selection form, the copy commands,
// and frequency tracking applied on the main thread after a PeakThread pass.
#include "ui_test_environment.h"

#include "core/scope/acquisition.h"
#include "core/scope/tables.h"
#include "ui/analysis_forms.h"
#include "ui/analysis_workers.h"
#include "ui/application.h"
#include "ui/measure_select_form.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QSlider>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

using orv::test::TempProgramFolder;

class MeasurePanel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!folder_.ok()) GTEST_SKIP() << "ORV_PROGRAM_DIR has no setup files";
        orv::ui::AppOptions o;
        o.home = folder_.path();
        app_ = std::make_unique<orv::ui::Application>(o);
        ASSERT_FALSE(app_->create().has_value());
        main_ = app_->main_form();
        links_ = main_->analysis();
        ASSERT_NE(links_, nullptr);
        orv::test::captured_messages().clear();
    }
    QLabel* label(int i) const { return main_->findChild<QLabel*>(QStringLiteral("mrl_%1").arg(i)); }

    // Runs one PeakThread pass over `samples` and waits until the main thread has taken it.
    void run_peak_pass(const std::vector<uint16_t>& samples, const orv::Torv& frame) {
        orv::ui::PeakThread* w = links_->peak_thread;
        ASSERT_TRUE(w->try_acquire());
        orv::FrameJob& job = w->job();
        std::copy(samples.begin(), samples.end(), job.samples.get());
        job.frame_length = static_cast<uint32_t>(samples.size());
        job.display_count = job.frame_length;
        job.device_model = main_->context().device_model;
        job.counts_per_div = 25.0;
        job.frame_settings = frame;
        job.current_settings = main_->context().current_settings;
        job.prefs = main_->context().user_prefs;
        w->start();
        ASSERT_TRUE(QTest::qWaitFor([w] { return !w->busy(); }, 5000));
    }

    TempProgramFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::unique_ptr<orv::ui::Application> app_;
    orv::ui::TMainForm* main_ = nullptr;
    orv::ui::AnalysisLinks* links_ = nullptr;
};

// A square wave whose period is `period` sample pairs, 100 counts peak to peak about the centre.
std::vector<uint16_t> square(int pairs, int period) {
    std::vector<uint16_t> s;
    for (int i = 0; i < pairs; ++i) {
        const uint16_t v = (i % period) < period / 2 ? 77 : 177;
        s.push_back(v);
        s.push_back(v);
    }
    return s;
}

TEST_F(MeasurePanel, LabelsFlowInRowsAndShowTheirReadings) {
    orv::Torv frame = main_->context().current_settings;
    frame.a_volts_per_div = frame.b_volts_per_div = 1.0;
    frame.a_position = frame.b_position = 0;
    run_peak_pass(square(3000, 100), frame);
    EXPECT_EQ(label(4)->text(), QStringLiteral("A: Vpp= 3.960 V"));
    // Width for two labels and a bit: rows of two, starting at (10, 7).
    QWidget* panel = main_->findChild<QWidget*>(QStringLiteral("measurepanel"));
    panel->resize(10 + 2 * 210 + 5, 200);
    main_->measurepanelResize();
    EXPECT_EQ(label(0)->pos(), QPoint(10, 7));
    EXPECT_EQ(label(1)->pos(), QPoint(220, 7));
    EXPECT_EQ(label(2)->pos(), QPoint(10, 39));
    EXPECT_EQ(label(11)->pos(), QPoint(220, 7 + 5 * 32));
    EXPECT_EQ(label(0)->font().pointSize(), 16);
}

// "Copy All Measurements" with four labels shown: the four texts and eight lines of six tabs.
TEST_F(MeasurePanel, CopyCommandsTurnBlanksIntoTabs) {
    orv::Torv frame = main_->context().current_settings;
    frame.a_volts_per_div = frame.b_volts_per_div = 1.0;
    run_peak_pass(square(3000, 100), frame);
    main_->context().current_settings.measure_count = 4;
    main_->measurepanelResize();
    main_->SaveAll1Click();
    const QString all = QGuiApplication::clipboard()->text();
    const QStringList lines = all.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 14); // leading empty line, twelve labels, empty tail
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_EQ(lines[1], label(0)->text().replace(QLatin1Char(' '), QLatin1Char('\t')));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("A:\tVavg=\t")));
    for (int i = 5; i <= 12; ++i) EXPECT_EQ(lines[i], QStringLiteral("\t\t\t\t\t\t")) << i;
    // The current measurement is the label whose menu was opened last (label 0 before any).
    main_->CopyCurrentMeasurement1Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), lines[1]);
    main_->mrl_3ContextPopup(2);
    main_->CopyCurrentMeasurement1Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), lines[3]);
    EXPECT_TRUE(orv::test::captured_messages().empty());
}

TEST_F(MeasurePanel, SelectionFormStoresChoiceColourAndCount) {
    main_->mrl_0Click(3);
    orv::ui::Tmeasureselectform* form = links_->select;
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->RadioGroup1->checkedId(), 3);
    form->RadioGroup1->button(10)->setChecked(true);
    form->TrackBar1->setValue(5);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("5"));
    form->BitBtn1Click();
    EXPECT_FALSE(form->isVisible());
    const orv::UserPrefs& p = main_->context().user_prefs;
    EXPECT_EQ(p.measure_item[3], 10);
    EXPECT_EQ(p.measure_count, 5);
    EXPECT_EQ(main_->context().current_settings.measure_count, 5);
    EXPECT_EQ(label(5)->text(), QStringLiteral("      "));
    // Default loads the factory choice of the remembered label without storing it.
    main_->mrl_0Click(3);
    form->Button1Click();
    EXPECT_EQ(form->RadioGroup1->checkedId(), main_->context().default_prefs.measure_item[3]);
    form->BitBtn2Click();
    EXPECT_EQ(p.measure_item[3], 10);
}

// Tracking A at 0.4 periods per division steps the time base one position slower, on the main
// thread, and corrects the position of a signal centred 10 codes below mid-screen.
TEST_F(MeasurePanel, FrequencyTrackingIsAppliedOnTheMainThread) {
    orv::Torv& cur = main_->context().current_settings;
    cur.run_mode = orv::RunMode::Auto;
    cur.a_position = 0;
    const int model = main_->context().device_model;
    const orv::Torv frame = cur;
    const int per_div = orv::trigger_span(frame.time_base, model) / 10;
    // 0.4 periods per division; the square wave sits 10 codes below the centre.
    std::vector<uint16_t> s = square(3072, static_cast<int>(per_div / 0.4));
    for (uint16_t& v : s) v = static_cast<uint16_t>(v + 10);
    orv::Torv expected = cur;
    expected.step_time_base(+1, model);

    main_->fabuttonClick(1);
    EXPECT_EQ(main_->findChild<QPushButton*>(QStringLiteral("fabutton"))->styleSheet(), QStringLiteral("color: #00ff00;"));
    run_peak_pass(s, frame);
    EXPECT_EQ(cur.time_base, expected.time_base);
    EXPECT_EQ(cur.a_position, 3);
    EXPECT_EQ(links_->tracking_steps, 1u);

    // "NFT": no tracking.
    main_->fabuttonClick(0);
    const uint8_t tb = cur.time_base;
    orv::Torv now = cur;
    run_peak_pass(s, now);
    EXPECT_EQ(cur.time_base, tb);
    EXPECT_EQ(links_->tracking_steps, 1u);
}

} // namespace
