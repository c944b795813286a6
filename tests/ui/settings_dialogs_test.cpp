// SPDX-License-Identifier: MIT
// "Main Window Setting" and "Probe Setting": only OK changes anything, Default loads the factory
// values into the controls, a probe change rescales labels and lists without a register write,
// and the layout commands.
#include "front_panel_fixture.h"

#include "core/scope/byte_image.h"
#include "ui/front_panel.h"
#include "ui/knob_widget.h"
#include "ui/mainview_setup_form.h"
#include "ui/probe_setup_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>

namespace {

using orv::test::MainWindowFixture;

class SettingsDialogs : public MainWindowFixture {};

TEST_F(SettingsDialogs, DefaultThenCancelChangesNothing) {
    auto* d = form().mainview_setup();
    ASSERT_NE(d, nullptr);
    ctx_.user_prefs.logic_scope_enabled = 0;
    ctx_.user_prefs.grid_colour = 0x123456;
    const auto before = orv::to_bytes(ctx_.user_prefs);
    d->show();
    d->Button3Click();
    EXPECT_TRUE(d->findChild<QCheckBox*>(QStringLiteral("CheckBox6"))->isChecked());
    EXPECT_EQ(d->swatch_colour(orv::ui::TMainview_Setup_Panel::Grid), static_cast<uint32_t>(ctx_.default_prefs.grid_colour));
    d->Button2Click();
    EXPECT_EQ(orv::to_bytes(ctx_.user_prefs), before);
    EXPECT_TRUE(lib_.writes.empty());
    // Shown again, the controls read the stored fields, not the defaults left in them.
    d->show();
    EXPECT_FALSE(d->findChild<QCheckBox*>(QStringLiteral("CheckBox6"))->isChecked());
    EXPECT_EQ(d->swatch_colour(orv::ui::TMainview_Setup_Panel::Grid), 0x123456u);
    d->close();
}

TEST_F(SettingsDialogs, OkStoresAndAppliesTheLook) {
    auto* d = form().mainview_setup();
    ctx_.user_prefs.logic_scope_enabled = 0;
    d->pick_colour = [](uint32_t& c) {
        c = 0x0000FF;
        return true;
    };
    d->show();
    d->findChild<QCheckBox*>(QStringLiteral("CheckBox6"))->setChecked(true);
    d->findChild<QCheckBox*>(QStringLiteral("CheckBox4"))->setChecked(false);
    d->findChild<QButtonGroup*>(QStringLiteral("RadioGroup1_items"))->button(2)->setChecked(true);
    d->swatch_click(orv::ui::TMainview_Setup_Panel::ChannelA);
    d->Button1Click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(ctx_.user_prefs.logic_scope_enabled, 1);
    EXPECT_EQ(ctx_.user_prefs.grid_on, 0);
    EXPECT_EQ(ctx_.user_prefs.channel_draw_mode, 2);
    EXPECT_EQ(ctx_.user_prefs.a_colour, 0x0000FF);
    EXPECT_TRUE(form().findChild<QPushButton*>(QStringLiteral("ex_sp4"))->isVisibleTo(&form()));
    EXPECT_FALSE(form().findChild<QPushButton*>(QStringLiteral("sb_4"))->isVisibleTo(&form()));
    EXPECT_NE(form().findChild<QLabel*>(QStringLiteral("Label7"))->styleSheet().indexOf(QStringLiteral("#ff0000")), -1);

    // While the logic oscilloscope runs it cannot be withdrawn.
    form().scope().logic_mode = true;
    d->show();
    d->findChild<QCheckBox*>(QStringLiteral("CheckBox6"))->setChecked(false);
    d->Button1Click();
    EXPECT_EQ(ctx_.user_prefs.logic_scope_enabled, 1);
    form().scope().logic_mode = false;
}

TEST_F(SettingsDialogs, ProbeOnTheTriggerChannelRescalesWithoutSending) {
    ASSERT_EQ(settings().trigger_source, 0);
    settings().trigger_level = 40;
    settings().a_position = 10;
    form().refresh_front_panel();
    const double level_volts = settings().trigger_level_volts;
    const double position_volts = settings().a_position_volts;
    auto* knob = form().front_panel()->knobs[orv::ui::FrontPanel::V1Div];
    const double angle = knob->angle();
    lib_.writes.clear();

    auto* d = form().probe_setup();
    d->show();
    d->probe_a_group()->button(1)->setChecked(true); // 1:10
    d->Button1Click();
    EXPECT_EQ(ctx_.user_prefs.probe_a, 1);
    EXPECT_DOUBLE_EQ(settings().trigger_level_volts, level_volts * 10);
    EXPECT_DOUBLE_EQ(settings().a_position_volts, position_volts * 10);
    EXPECT_DOUBLE_EQ(settings().a_volts_per_div, 50.0);
    QComboBox* list = form().front_panel()->a_div_cb;
    ASSERT_EQ(list->count(), 9);
    EXPECT_EQ(list->itemText(0).toStdString(), "50V/Div");
    EXPECT_EQ(list->itemText(8).toStdString(), "100mV/Div");
    EXPECT_EQ(form().front_panel()->b_div_cb->itemText(0).toStdString(), "5V/Div");
    EXPECT_DOUBLE_EQ(knob->angle(), angle);
    EXPECT_TRUE(lib_.writes.empty());

    // Default only selects 1:1 in the dialog.
    d->show();
    d->Button3Click();
    EXPECT_EQ(d->probe_a_group()->checkedId(), 0);
    d->Button2Click();
    EXPECT_EQ(ctx_.user_prefs.probe_a, 1);
}

TEST_F(SettingsDialogs, LayoutCommandsAndMinimumSize) {
    auto* s1 = form().findChild<QSplitter*>(QStringLiteral("Splitter1"));
    auto* s2 = form().findChild<QSplitter*>(QStringLiteral("Splitter2"));
    form().MaximizeMainView1Click();
    EXPECT_EQ(s1->sizes().value(1), 2);
    EXPECT_EQ(s2->sizes().value(1), 2);
    form().ToolButton1Click(); // both collapsed: normalise both
    EXPECT_EQ(s1->sizes().value(1), 410);
    EXPECT_GT(s2->sizes().value(1), 2);
    form().ToolButton2Click();
    EXPECT_EQ(s1->sizes().value(1), 2);
    form().ToolButton2Click();
    EXPECT_EQ(s1->sizes().value(1), 410);

    auto* bar = form().findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    const bool shown = bar->isVisible();
    form().ToolBar2Click();
    EXPECT_NE(bar->isVisible(), shown);
    form().ToolBar2Click();

    form().resize(300, 200);
    QTest::qWait(20);
    EXPECT_GE(form().width(), 400);
    EXPECT_GE(form().height(), 400);
}

} // namespace
