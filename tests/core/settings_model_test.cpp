// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/scope/scope_context.h"
#include "core/scope/tables.h"
#include "core/scope/value_text.h"

namespace orv {
namespace {

struct StepCase {
    int start;
    int direction;
    int model;
    int expected;
    bool result;
};

TEST(StepTimeBase, WalksAsTheInstrumentFamilyDoes) {
    const StepCase cases[] = {
        {16, +1, 0, 17, true}, {16, +1, 1, 17, true}, {16, +1, 5, 17, true},
        {16, +1, 2, 18, true}, {16, +1, 3, 19, true}, {16, +1, 4, 19, true},
        {23, +1, 1, 0, true},  {22, +1, 1, 23, true}, {7, +1, 1, 8, true},
        {0, -1, 1, 23, true},  {18, -1, 1, 18, false}, {17, -1, 1, 16, true},
        {19, -1, 3, 18, true}, {7, -1, 1, 6, true},   {7, 0, 1, 6, true}, // any direction but +1 steps down
    };
    for (const auto& c : cases) {
        Torv s;
        s.time_base = static_cast<uint8_t>(c.start);
        EXPECT_EQ(s.step_time_base(c.direction, c.model), c.result) << c.start << " " << c.direction << " m" << c.model;
        EXPECT_EQ(s.time_base, c.expected) << c.start << " " << c.direction << " m" << c.model;
    }
}

TEST(Tables, VoltsPerDivIsBounded) {
    EXPECT_DOUBLE_EQ(volts_per_div(7), 1.0);
    EXPECT_DOUBLE_EQ(volts_per_div(4), 1.0);
    EXPECT_DOUBLE_EQ(volts_per_div(8), 0.01);
    EXPECT_DOUBLE_EQ(volts_per_div(10), 1.0);
    EXPECT_DOUBLE_EQ(volts_per_div(255), 1.0);
    EXPECT_DOUBLE_EQ(volts_per_div(-1), 1.0);
}

TEST(Tables, PerModelRowsAndBoundedLookups) {
    EXPECT_EQ(time_base_code(23, 0), 1);
    EXPECT_EQ(time_base_code(14, 2), 1200);
    EXPECT_EQ(time_base_code(20, 5), 0);
    EXPECT_EQ(trigger_span(0, 5), 1875);
    EXPECT_EQ(trigger_span(10, 3), 2500);
    EXPECT_EQ(trigger_span(23, 0), 2000);
    EXPECT_EQ(decimation_step(16, 4), 200);
    EXPECT_EQ(block_transfer(11, 0), 0);
    EXPECT_EQ(block_transfer(17, 0), 1);
    EXPECT_EQ(kTimeBaseLabels[17], "20nS/Div");
    // A model code outside 0..5 reads as 2; a time base outside 0..23 as 7.
    EXPECT_EQ(time_base_code(0, 9), time_base_code(0, 2));
    EXPECT_EQ(time_base_label(200), "1mS/Div");
    EXPECT_EQ(sample_rate_label(13), "");
    EXPECT_EQ(sample_rate_label(99), "");
    EXPECT_EQ(run_button_caption(run_button_index(8)), "&DEMO");
}

TEST(RefreshDerived, UsesProbeFactorsScaleAndTriggerSource) {
    ScopeContext ctx;
    ctx.user_prefs.probe_a = 1;
    ctx.user_prefs.probe_b = 3; // unknown code counts as x1
    ctx.user_gain_adjust = 1.1;
    recompute_scale(ctx);
    EXPECT_NEAR(ctx.counts_per_div, 22.7272727, 1e-6);

    Torv& s = ctx.current_settings;
    s.a_volt_div = 4;
    s.b_volt_div = 2;
    s.a_position = 25;
    s.b_position = -50;
    s.time_base = 12;
    s.trigger_edge = kTriggerEdgeRising;
    s.trigger_source = 1;
    s.trigger_level = 10;
    refresh_derived(ctx, s);

    EXPECT_DOUBLE_EQ(s.a_volts_per_div, 10.0);
    EXPECT_DOUBLE_EQ(s.b_volts_per_div, 0.2);
    EXPECT_NEAR(s.a_position_volts, 25 * 10.0 / ctx.counts_per_div, 1e-12);
    EXPECT_NEAR(s.b_position_volts, -50 * 0.2 / ctx.counts_per_div, 1e-12);
    EXPECT_NEAR(s.trigger_level_volts, 10 * 0.2 / ctx.counts_per_div, 1e-12); // B's range, not A's
    EXPECT_DOUBLE_EQ(s.time_per_div_ms, 50.0);
    EXPECT_EQ(s.block_transfer, 0);
    EXPECT_EQ(s.trigger_code, 3);
}

TEST(ScopeDefaults, StartupAndConnectionDefaults) {
    ScopeContext ctx;
    apply_startup_defaults(ctx);
    const Torv& s = ctx.current_settings;
    EXPECT_EQ(s.run_mode, RunMode::Auto);
    EXPECT_EQ(s.time_base, 7);
    EXPECT_EQ(s.a_volt_div, 6);
    EXPECT_DOUBLE_EQ(s.a_volts_per_div, 5.0);
    EXPECT_EQ(s.trigger_code, kTriggerEdgeRising);
    EXPECT_DOUBLE_EQ(s.trigger_x_percent, 50.0);
    EXPECT_EQ(s.view_offset, 1536);
    EXPECT_EQ(s.block_transfer, 1);
    EXPECT_DOUBLE_EQ(ctx.sent_settings.trigger_x_percent, 49.0);
    EXPECT_EQ(ctx.sent_settings.run_mode, RunMode::Demo);
    EXPECT_EQ(ctx.device_model, 1);

    ctx.current_settings.time_base = 3;
    ctx.current_settings.a_position = 40;
    ctx.current_settings.trigger_source = 1;
    ctx.sent_settings = ctx.current_settings;
    reset_scope_defaults(ctx);
    const Torv& sent = ctx.sent_settings;
    EXPECT_EQ(s.time_base, 7);
    EXPECT_EQ(s.a_position, 0);
    EXPECT_EQ(s.trigger_code, 3);
    // Every compared group differs, so the next send transmits everything.
    EXPECT_NE(sent.time_base, s.time_base);
    EXPECT_NE(sent.a_position, s.a_position);
    EXPECT_NE(sent.b_position, s.b_position);
    EXPECT_NE(sent.a_volt_div, s.a_volt_div);
    EXPECT_NE(sent.b_volt_div, s.b_volt_div);
    EXPECT_NE(sent.a_coupling, s.a_coupling);
    EXPECT_NE(sent.b_coupling, s.b_coupling);
    EXPECT_NE(sent.trigger_code, s.trigger_code);
    EXPECT_NE(sent.trigger_level, s.trigger_level);
    EXPECT_EQ(sent.run_mode, RunMode::Demo);
}

TEST(ValueText, Formats) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {format_volts(1.25), "1.250V"},
        {format_volts(-1.0), "-1.000V"},
        {format_volts(0.25), "250.0mV"},
        {format_volts(-0.0123), "-12.3mV"},
        {format_volts(0.0), "0.0mV"},
        {format_volts(-0.00001), "0.0mV"}, // rounds to zero: no sign
        {format_volts(0.99996), "1000.0mV"},
        {format_level(1.25), "  1.250V"},
        {format_level(0.004), "  4.0mV"},
        {format_volts_no_decimals(5.0), "5V"},
        {format_volts_no_decimals(0.5), "500mV"},
        {format_volts_no_decimals(0.01), "10mV"},
        {format_volts_no_decimals(500.0), "500V"},
        {format_fixed(123456.789, 3), "123456.790"}, // 8 significant digits, the rest zeros
        {format_fixed(12345678.9, 1), "12345679.0"},
        {format_fixed(1.5, 0), "2"},
        {format_fixed(123456789.0, 3), "1.2345679E+08"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

} // namespace
} // namespace orv
