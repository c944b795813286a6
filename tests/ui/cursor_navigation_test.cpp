// SPDX-License-Identifier: MIT
// Grabbing and dragging on the view: which target a press takes, where a drag puts it, the
// cursors following a resize, and the time-axis trigger form.
#include "front_panel_fixture.h"

#include "core/scope/register_command.h"
#include "ui/set_trig_x_loc_form.h"
#include "ui/trace_view.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QSlider>

#include <cmath>

namespace {

using orv::test::MainWindowFixture;

class CursorNavigation : public MainWindowFixture {
protected:
    orv::ui::TraceImage& view() { return *form().trace_image(); }
    int w() { return view().width(); }
    int h() { return view().height(); }
    // Press, drag to (x, y), release; returns the cursors afterwards.
    std::array<int32_t, 4> drag(int from_x, int from_y, int to_x, int to_y) {
        form().TimeSerieimageMouseDown(Qt::LeftButton, from_x, from_y);
        form().TimeSerieimageMouseMove(to_x, to_y);
        form().TimeSerieimageMouseUp(Qt::LeftButton);
        return form().cursors();
    }
    // Cursors where the fractions put them.
    void place_cursors(double x1, double x2, double y1, double y2) {
        double* f = ctx_.user_prefs.cursor_fractions;
        f[0] = y1;
        f[1] = y2;
        f[2] = x1;
        f[3] = x2;
        form().Panel7Resize();
    }
};

TEST_F(CursorNavigation, TriggerMarkerWinsOverACursorOnItsColumn) {
    ASSERT_TRUE(ctx_.user_prefs.cursor_on);
    const int column = static_cast<int>(form().trigger_marker_column());
    ASSERT_GT(column, 40);
    place_cursors(static_cast<double>(column) / (w() - 1), 0.9, 0.3, 0.7);
    const int32_t x1 = form().cursors()[0];
    ASSERT_NEAR(x1, column, 1);

    const auto after = drag(x1, 5, x1 - 30, 5);
    EXPECT_EQ(after[0], x1); // the cursor stayed
    EXPECT_NEAR(settings().trigger_x_percent, (x1 - 30) * 100.0 / (w() - 1), 1e-9);
    EXPECT_EQ(settings().view_offset, form().scope().timebar_position());
    EXPECT_TRUE(lib_.has(orv::reg::kTriggerPosLow));

    // Away from the edges the same press takes the cursor.
    const auto moved = drag(x1, h() / 2, x1 + 40, h() / 2);
    EXPECT_EQ(moved[0], x1 + 40);
    EXPECT_NEAR(ctx_.user_prefs.cursor_fractions[2], (x1 + 40.0) / (w() - 1), 1e-12);
}

TEST_F(CursorNavigation, GrabOrderAmongTheCursors) {
    // X1 and X2 on one column: X1 is taken.
    place_cursors(0.5, 0.5, 0.25, 0.75);
    const auto c = form().cursors();
    auto after = drag(c[0] + 1, h() / 3, c[0] + 100, h() / 3);
    EXPECT_EQ(after[0], c[0] + 100);
    EXPECT_EQ(after[1], c[1]);
    // Y1 then Y2 by row, away from the vertical cursors; the drag is clamped to the view.
    after = drag(20, c[2], 20, h() + 500);
    EXPECT_EQ(after[2], h() - 1);
    EXPECT_DOUBLE_EQ(ctx_.user_prefs.cursor_fractions[0], 1.0);
    after = drag(20, c[3] - 2, 20, -40);
    EXPECT_EQ(after[3], 0);
    // Nothing near: a drag moves nothing.
    const auto before = form().cursors();
    EXPECT_EQ(drag(w() / 7, h() / 8 + 3, 10, 10), before);
}

TEST_F(CursorNavigation, CursorsOffLeavesOnlyTheMarkers) {
    ctx_.user_prefs.cursor_on = 0;
    place_cursors(0.2, 0.8, 0.3, 0.7);
    const auto c = form().cursors();
    EXPECT_EQ(drag(c[0], h() / 2, c[0] + 50, h() / 2), c);
    // The level marker still follows, while the markers are shown.
    drag(2, form().trigger_marker_row(), 2, 0);
    EXPECT_EQ(settings().trigger_level, 125);
    // Hidden markers cannot be grabbed either.
    form().findChild<QCheckBox*>(QStringLiteral("CheckBox3"))->setChecked(false);
    drag(2, form().trigger_marker_row(), 2, h() - 1);
    EXPECT_EQ(settings().trigger_level, 125);
    // Hovering: the hidden time marker shows no hand; the level zone still does.
    const int column = static_cast<int>(form().trigger_marker_column());
    form().TimeSerieimageMouseMove(column, 3);
    EXPECT_EQ(view().cursor().shape(), Qt::ArrowCursor);
    form().TimeSerieimageMouseMove(2, form().trigger_marker_row());
    EXPECT_EQ(view().cursor().shape(), Qt::PointingHandCursor);
    form().findChild<QCheckBox*>(QStringLiteral("CheckBox3"))->setChecked(true);
    form().TimeSerieimageMouseMove(column, 3);
    EXPECT_EQ(view().cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(CursorNavigation, LevelMarkerDraggedToTheEdges) {
    drag(2, form().trigger_marker_row(), 2, 0);
    EXPECT_EQ(settings().trigger_level, 125);
    EXPECT_EQ(lib_.last(orv::reg::kTriggerLevel), 127 - 125);
    drag(w() - 2, form().trigger_marker_row(), w() - 2, h() + 20);
    EXPECT_EQ(settings().trigger_level, -125);
    EXPECT_EQ(lib_.last(orv::reg::kTriggerLevel), (127 + 125) & 0xFF);
    // In logic mode the level marker is not a grab zone.
    form().scope().logic_mode = true;
    drag(2, form().trigger_marker_row(), 2, 0);
    EXPECT_EQ(settings().trigger_level, -125);
    form().scope().logic_mode = false;
}

TEST_F(CursorNavigation, ResizingKeepsTheFractions) {
    place_cursors(0.25, 0.6, 0.1, 0.9);
    form().resize(form().width() + 150, form().height() + 40);
    QTest::qWait(20);
    const auto c = form().cursors();
    EXPECT_EQ(c[0], static_cast<int32_t>((w() - 1) * 0.25));
    EXPECT_EQ(c[1], static_cast<int32_t>((w() - 1) * 0.6));
    EXPECT_EQ(c[2], static_cast<int32_t>((h() - 1) * 0.1));
    EXPECT_EQ(c[3], static_cast<int32_t>((h() - 1) * 0.9));
}

TEST_F(CursorNavigation, ViewAndTriggerButtons) {
    auto* bar = form().findChild<QScrollBar*>(QStringLiteral("timebar"));
    ASSERT_GT(bar->maximum(), 0);
    form().ToolButton15Click();
    EXPECT_EQ(form().scope().timebar_position(), 0);
    form().ToolButton17Click();
    EXPECT_EQ(form().scope().timebar_position(), form().scope().timebar_maximum());
    EXPECT_EQ(bar->value(), bar->maximum());

    const struct {
        void (orv::ui::TMainForm::*button)();
        double percent;
    } triggers[] = {{&orv::ui::TMainForm::ToolButton21Click, 20.0},
                    {&orv::ui::TMainForm::ToolButton23Click, 50.0},
                    {&orv::ui::TMainForm::ToolButton20Click, 80.0}};
    for (const auto& t : triggers) {
        lib_.writes.clear();
        (form().*t.button)();
        EXPECT_DOUBLE_EQ(settings().trigger_x_percent, t.percent);
        EXPECT_EQ(settings().view_offset, form().scope().timebar_maximum());
        EXPECT_TRUE(lib_.has(orv::reg::kTriggerPosLow));
    }
    form().ToolButton22Click();
    EXPECT_EQ(form().scope().timebar_position(), form().scope().timebar_maximum() / 2);
    EXPECT_DOUBLE_EQ(settings().trigger_x_percent, 50.0);
    EXPECT_EQ(settings().view_offset, form().scope().timebar_maximum() / 2);
}

TEST_F(CursorNavigation, TimeAxisFormShowsWithoutMovingTheTrigger) {
    auto* f = form().set_trig_x_loc_form();
    ASSERT_NE(f, nullptr);
    settings().trigger_x_percent = 95.0;
    f->show();
    EXPECT_EQ(f->trig_x_loc_bar()->value(), 90);
    EXPECT_DOUBLE_EQ(settings().trigger_x_percent, 95.0);
    f->trig_x_loc_bar()->setValue(30);
    EXPECT_DOUBLE_EQ(settings().trigger_x_percent, 30.0);
    EXPECT_EQ(settings().view_offset, form().scope().timebar_position());
    EXPECT_TRUE(lib_.has(orv::reg::kTriggerPosLow));
    f->close();
}

} // namespace
