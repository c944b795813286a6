// SPDX-License-Identifier: MIT
// The analysis windows in the running application: every command that opens them, closing that
// only hides, and the pictures their workers draw from the live (demo) frames.
#include "ui_test_environment.h"

#include "core/scope/acquisition.h"
#include "ui/analysis_forms.h"
#include "ui/application.h"
#include "ui/fft_form.h"
#include "ui/fft_setup_panel.h"
#include "ui/print_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QPushButton>
#include <QTest>

namespace {

using orv::test::TempProgramFolder;

class AnalysisWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (!folder_.ok()) GTEST_SKIP() << "ORV_PROGRAM_DIR has no setup files";
        orv::ui::AppOptions o;
        o.home = folder_.path();
        app_ = std::make_unique<orv::ui::Application>(o);
        ASSERT_FALSE(app_->create().has_value());
    }
    void TearDown() override {
        if (app_ && app_->main_form()->isVisible()) app_->main_form()->close();
        app_.reset();
    }
    QWidget* window(const char* name) const { return app_->window(QString::fromLatin1(name)); }
    QAction* action(const char* name) const {
        return app_->main_form()->findChild<QAction*>(QString::fromLatin1(name));
    }
    QPushButton* button(const char* name) const {
        return app_->main_form()->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    TempProgramFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::unique_ptr<orv::ui::Application> app_;
};

// Each command toggles its window (or, from the Setup menu, only shows it), and the hand-off
// follows the visibility of the four views.
TEST_F(AnalysisWindows, EveryCommandOpensItsWindow) {
    struct Command {
        const char* name;
        bool is_button;
        const char* window;
        bool toggles;
    };
    const Command commands[] = {
        {"FFT2", false, "TFFT_Form", true},          {"FFT1", false, "TFFT_Form", true},
        {"ex_sp0", true, "TFFT_Form", true},         {"XYPlot2", false, "Txyplotpanel", true},
        {"XYPlot3", false, "Txyplotpanel", true},    {"ex_sp2", true, "Txyplotpanel", true},
        {"CMap2", false, "Tcorrviewpanel", true},    {"CPlot1", false, "Tcorrviewpanel", true},
        {"ex_sp1", true, "Tcorrviewpanel", true},    {"SMap2", false, "Tsteroviewpanel", true},
        {"XYPlot1", false, "Tsteroviewpanel", true}, {"ex_sp5", true, "Tsteroviewpanel", true},
        {"ex_sp6", true, "TFFT_setup_panel", true},  {"ex_sp7", true, "Txy_setup_panel", true},
        {"FFTWindow1", false, "TFFT_setup_panel", false}, {"XYWindow1", false, "Txy_setup_panel", false},
        {"MultimeterModule1", false, "TMulti_metre_form", true},
    };
    const orv::ControlValues& c = app_->main_form()->scope().controls;
    for (const Command& cmd : commands) {
        SCOPED_TRACE(cmd.name);
        QWidget* w = window(cmd.window);
        ASSERT_NE(w, nullptr);
        const auto run = [&] {
            if (cmd.is_button) {
                QPushButton* b = button(cmd.name);
                ASSERT_NE(b, nullptr);
                ASSERT_TRUE(b->isEnabled());
                b->click();
            } else {
                QAction* a = action(cmd.name);
                ASSERT_NE(a, nullptr);
                ASSERT_TRUE(a->isEnabled());
                a->trigger();
            }
        };
        run();
        EXPECT_TRUE(w->isVisible());
        if (std::string_view(cmd.window) == "TFFT_Form") {
            EXPECT_TRUE(c.fft_visible);
        }
        if (std::string_view(cmd.window) == "Tcorrviewpanel") {
            EXPECT_TRUE(c.correlation_visible);
        }
        run();
        EXPECT_EQ(w->isVisible(), !cmd.toggles);
        // The close box only hides: the window and its state stay.
        w->show();
        w->close();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(window(cmd.window), w);
    }
    EXPECT_FALSE(c.fft_visible || c.xy_visible || c.correlation_visible || c.stereo_visible);
}

// With the demo running, every shown view gets pictures of its picture component's size.
TEST_F(AnalysisWindows, ViewsFollowTheLiveFrames) {
    app_->show();
    const char* views[] = {"TFFT_Form", "Txyplotpanel", "Tcorrviewpanel", "Tsteroviewpanel"};
    for (const char* v : views) window(v)->show();
    const auto picture_of = [&](const char* v) -> const QImage& {
        QWidget* w = window(v);
        if (auto* f = qobject_cast<orv::ui::TFFT_Form*>(w)) return f->FFT_map->image();
        return static_cast<orv::ui::PictureWindow*>(w)->picture()->image();
    };
    for (const char* v : views) {
        SCOPED_TRACE(v);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !picture_of(v).isNull(); }, 10000));
        auto* w = qobject_cast<orv::ui::TFFT_Form*>(window(v));
        QWidget* component = w ? static_cast<QWidget*>(w->FFT_map)
                               : static_cast<orv::ui::PictureWindow*>(window(v))->picture();
        // The picture may be one frame behind a resize; it settles to the component's size.
        EXPECT_TRUE(QTest::qWaitFor([&] { return picture_of(v).size() == component->size(); }, 5000));
        const QImage& img = picture_of(v);
        // Something besides the background was drawn.
        bool varied = false;
        for (int y = 0; y < img.height() && !varied; y += 3)
            for (int x = 0; x < img.width() && !varied; x += 3) varied = img.pixel(x, y) != img.pixel(0, img.height() / 2);
        EXPECT_TRUE(varied);
    }
}

// OK of the setup panel stores the record and re-places the cursors from their fractions.
TEST_F(AnalysisWindows, FftSetupOkStoresAndReplacesTheCursors) {
    auto* fft = qobject_cast<orv::ui::TFFT_Form*>(window("TFFT_Form"));
    auto* setup = qobject_cast<orv::ui::TFFT_setup_panel*>(window("TFFT_setup_panel"));
    ASSERT_TRUE(fft && setup);
    fft->show();
    fft->resize(530, 390);
    QTest::qWait(20);
    fft->cursors().fy_a = -0.5;
    setup->show();
    setup->RadioGroup2->button(1)->setChecked(true); // A only: one plot of full height
    setup->OKClick();
    EXPECT_FALSE(setup->isVisible());
    orv::UserPrefs& p = app_->main_form()->context().user_prefs;
    EXPECT_EQ(p.fftview_channel_display, 1);
    const int h = fft->FFT_map->height();
    const orv::FftLayout l = orv::fft_layout(h, orv::FftChannelDisplay::AOnly);
    EXPECT_EQ(fft->cursors().cy_a, static_cast<int>(l.y_a - 0.5 * (l.y_a - 40)));
    EXPECT_EQ(p.fftview_cursor_pixels[1], fft->cursors().cy_a);
    // Default loads the factory values into the controls only.
    setup->show();
    setup->DefaultClick();
    EXPECT_EQ(setup->RadioGroup2->checkedId(), app_->main_form()->context().default_prefs.fftview_channel_display);
    EXPECT_EQ(p.fftview_channel_display, 1);
}

} // namespace
