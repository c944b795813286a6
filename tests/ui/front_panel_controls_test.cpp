// SPDX-License-Identifier: MIT
// The front panel against the simulated instrument: what a control changes in CurrentSettings,
// which lists it rebuilds, and which register commands go out (or do not).
#include "front_panel_fixture.h"

#include "core/scope/register_command.h"
#include "ui/front_panel.h"
#include "ui/knob_widget.h"
#include "ui/trace_view.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QLabel>

#include <cmath>

namespace {

using orv::test::MainWindowFixture;
using orv::ui::FrontPanel;

QPoint at_degrees(int size, double degrees, double radius) {
    const double a = degrees * M_PI / 180.0;
    return {size / 2 + static_cast<int>(std::lround(radius * std::cos(a))),
            size / 2 - static_cast<int>(std::lround(radius * std::sin(a)))};
}

class FrontPanelControls : public MainWindowFixture {
protected:
    FrontPanel& fp() { return *form().front_panel(); }
};

TEST_F(FrontPanelControls, VoltDivKnobSelectsRangeSendsRelaysAndRebuildsLists) {
    ASSERT_EQ(settings().trigger_source, 0);
    // Six o'clock is the caption: nothing changes and nothing is sent.
    form().v1divMouseDown(at_degrees(136, 270, 50));
    form().v1posMouseUp();
    EXPECT_EQ(settings().a_volt_div, 6);
    EXPECT_TRUE(lib_.writes.empty());

    form().v1divMouseDown(at_degrees(136, 300, 50));
    form().v1posMouseUp();
    EXPECT_EQ(settings().a_volt_div, 8);
    EXPECT_DOUBLE_EQ(settings().a_volts_per_div, 0.01);
    EXPECT_TRUE(lib_.has(orv::reg::kRelayA));
    EXPECT_EQ(fp().a_div_cb->currentText().toStdString(), "10mV/Div");
    // One count at 10 mV/div: the position list and (A is the trigger source) the level list.
    EXPECT_EQ(fp().a_pos_cb->itemText(127).toStdString(), "0.4mV");
    EXPECT_EQ(fp().trig_pos_cb->itemText(127).toStdString(), "  0.4mV");
    EXPECT_EQ(fp().b_pos_cb->itemText(127).toStdString(), "200.0mV");
    EXPECT_EQ(fp().a_pos_cb->count(), 253);
}

TEST_F(FrontPanelControls, TriggerSourceSendsTheCodeAndRescalesTheLevel) {
    fp().b_div_cb->setCurrentIndex(3); // 500 mV/div
    form().b_div_cbChange();
    settings().trigger_level = 50;
    lib_.writes.clear();

    form().atrigbtClick(1);
    EXPECT_EQ(settings().trigger_source, 1);
    EXPECT_EQ(lib_.last(orv::reg::kTriggerCode), settings().trigger_edge + 1);
    EXPECT_DOUBLE_EQ(settings().trigger_level_volts, 50 * 0.5 / ctx_.counts_per_div);
    EXPECT_EQ(fp().trig_pos_cb->currentIndex(), 50 + 126);
    EXPECT_EQ(fp().trig_pos_cb->itemText(127).toStdString(), "  20.0mV");

    // The edge is the other half of the same register.
    lib_.writes.clear();
    form().trigedgetopClick(orv::kTriggerEdgeFalling);
    EXPECT_EQ(lib_.last(orv::reg::kTriggerCode), orv::kTriggerEdgeFalling + 1);
}

TEST_F(FrontPanelControls, SpinButtonsStopAtTheEndsWithoutSending) {
    fp().a_pos_cb->setCurrentIndex(252);
    form().a_pos_cbChange();
    ASSERT_EQ(settings().a_position, 126);
    lib_.writes.clear();

    form().UpDown2ChangingEx(+1);
    EXPECT_EQ(settings().a_position, 126);
    EXPECT_TRUE(lib_.writes.empty());

    form().UpDown2ChangingEx(-1);
    EXPECT_EQ(settings().a_position, 125);
    EXPECT_FALSE(lib_.writes.empty());
    EXPECT_EQ(fp().a_pos_cb->currentIndex(), 125 + 126);

    // The level spin at the bottom end.
    settings().trigger_level = -126;
    lib_.writes.clear();
    form().UpDown4ChangingEx(-1);
    EXPECT_EQ(settings().trigger_level, -126);
    EXPECT_TRUE(lib_.writes.empty());

    // The zero button puts the position back and sends it.
    form().SpeedButton1Click();
    EXPECT_EQ(settings().a_position, 0);
    EXPECT_EQ(fp().a_pos_cb->currentIndex(), 126);
}

TEST_F(FrontPanelControls, PositionKnobDeadZoneChangesNothing) {
    form().v2posMouseDown(at_degrees(80, 0, 30));
    EXPECT_EQ(settings().b_position, 75);
    lib_.writes.clear();
    form().v2posMouseMove(at_degrees(80, 260, 30)); // still dragging, into the dead zone
    form().v1posMouseUp();
    EXPECT_EQ(settings().b_position, 75);
    EXPECT_TRUE(lib_.writes.empty());
    // A move after the button is up is not a turn.
    form().v2posMouseMove(at_degrees(80, 90, 30));
    EXPECT_EQ(settings().b_position, 75);
}

TEST_F(FrontPanelControls, RunModeButtons) {
    form().sp_control0Click(0);
    EXPECT_EQ(settings().run_mode, orv::RunMode::Hold);
    EXPECT_EQ(lib_.last(orv::reg::kRun), orv::kRunStop);
    EXPECT_EQ(form().highlighted_run_button(), 0);

    // Back to a live mode: the mode is sent again and the trigger keeps its place on the view.
    lib_.writes.clear();
    const double before = form().trigger_marker_column();
    form().sp_control0Click(1);
    EXPECT_EQ(settings().run_mode, orv::RunMode::Auto);
    EXPECT_TRUE(lib_.has(orv::reg::kRun));
    EXPECT_NEAR(form().trigger_marker_column(), before, 1e-9);
}

// In Hold the frame on screen stays; zooming the time base about the view centre keeps the
// trigger marker on the sample it marked.
TEST_F(FrontPanelControls, HoldTimeBaseChangeKeepsTheMarkerOnItsInstant) {
    form().sp_control0Click(0);
    QTest::qWait(100);
    settings().trigger_x_percent = 30.0;
    settings().view_offset = form().scope().timebar_position() - 200;
    const orv::Torv& frame = ctx_.frame_settings;
    const int w = form().trace_image()->width();
    ASSERT_GT(w, 100);
    const double wp = w - 1;
    const double v = form().scope().timebar_maximum() - form().scope().timebar_position();
    // The renderer's mapping of a column to a sample pair of the held frame.
    const auto instant = [&](double column) {
        const double nf = orv::trigger_span(frame.time_base, ctx_.device_model);
        const double n = orv::trigger_span(settings().time_base, ctx_.device_model);
        const double r = settings().time_per_div_ms / frame.time_per_div_ms;
        const double first = std::trunc(v - n * 0.5 * r - (std::floor(nf / 2) - std::floor(n / 2)) * r);
        return first + column / (wp * frame.time_per_div_ms / (nf * settings().time_per_div_ms));
    };
    ASSERT_EQ(settings().time_base, 7);
    const double before = instant(form().trigger_marker_column());

    // 0.5 ms/div is index 6: the sector centred at 97.5 degrees.
    form().timedivMouseDown(at_degrees(180, 97.5, 60));
    form().v1posMouseUp();
    ASSERT_EQ(settings().time_base, 6);
    EXPECT_NEAR(instant(form().trigger_marker_column()), before, 1.5);
    EXPECT_EQ(settings().view_offset, form().scope().timebar_position());
}

TEST_F(FrontPanelControls, FirstLiveTimeBaseChangeCentresTheMarker) {
    settings().trigger_x_percent = 20.0;
    settings().view_offset = form().scope().timebar_position();
    form().timedivMouseDown(at_degrees(180, 112.5, 60)); // index 7 is current: no change
    EXPECT_DOUBLE_EQ(settings().trigger_x_percent, 20.0);
    form().timedivMousMove(at_degrees(180, 142.5, 60)); // index 9, 5 ms/div
    form().v1posMouseUp();
    EXPECT_EQ(settings().time_base, 9);
    EXPECT_DOUBLE_EQ(settings().trigger_x_percent, 50.0);
    EXPECT_TRUE(lib_.has(orv::reg::kTimeBaseLow));
    EXPECT_TRUE(lib_.has(orv::reg::kTriggerPosLow));

    // Later changes keep the marker where it is.
    settings().trigger_x_percent = 20.0;
    form().timedivMouseDown(at_degrees(180, 157.5, 60)); // index 10
    form().v1posMouseUp();
    EXPECT_EQ(settings().time_base, 10);
    EXPECT_NEAR(settings().trigger_x_percent, 20.0, 1e-9);
}

// The widgets' own mouse events reach the handlers; the time-base knob is shown smaller than its
// bitmap, so the pointer is scaled back to bitmap pixels.
TEST_F(FrontPanelControls, PointerEventsOnTheComponents) {
    orv::ui::KnobWidget* timediv = fp().knobs[FrontPanel::TimeDiv];
    const double scale = static_cast<double>(timediv->width()) / timediv->bitmap().width();
    const QPoint bitmap_point = at_degrees(180, 157.5, 60); // index 10
    const QPoint shown(static_cast<int>(bitmap_point.x() * scale), static_cast<int>(bitmap_point.y() * scale));
    QTest::mousePress(timediv, Qt::LeftButton, {}, shown);
    QTest::mouseRelease(timediv, Qt::LeftButton, {}, shown);
    EXPECT_EQ(settings().time_base, 10);
    EXPECT_FALSE(fp().knob_drag);

    orv::ui::KnobWidget* level = fp().knobs[FrontPanel::TriggerLevel];
    QTest::mousePress(level, Qt::RightButton, {}, at_degrees(80, 0, 30));
    EXPECT_EQ(settings().trigger_level, 0);
    QTest::mousePress(level, Qt::LeftButton, {}, at_degrees(80, 0, 30));
    QTest::mouseRelease(level, Qt::LeftButton, {}, at_degrees(80, 0, 30));
    EXPECT_EQ(settings().trigger_level, 75);

    QWidget* view = form().trace_image();
    const int row = form().trigger_marker_row();
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(3, row));
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 0), view->mapToGlobal(QPointF(3, 0)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(3, 0));
    EXPECT_EQ(settings().trigger_level, 125);
}

TEST_F(FrontPanelControls, MathTraceCycles) {
    const orv::UserPrefs& p = ctx_.user_prefs;
    const char* labels[] = {"+", "-", ""};
    ctx_.user_prefs.show_a_plus_b = ctx_.user_prefs.show_a_minus_b = 0;
    for (const char* expected : labels) {
        form().AB1Click();
        EXPECT_EQ(form().findChild<QLabel*>(QStringLiteral("labela_b"))->text().toStdString(), expected);
        EXPECT_LE(p.show_a_plus_b + p.show_a_minus_b, 1);
    }
    EXPECT_EQ(p.show_a_plus_b + p.show_a_minus_b, 0);
}

} // namespace
