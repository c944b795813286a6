// SPDX-License-Identifier: MIT
#include "core/scope/scope_context.h"

namespace orv {

void recompute_scale(ScopeContext& ctx) {
    ctx.volts_scale = ctx.user_gain_adjust * ctx.cal_constant;
    ctx.counts_per_div = kCountsPerDivNeutral / ctx.volts_scale;
}

void refresh_derived(const ScopeContext& ctx, Torv& s) {
    refresh_derived(s, ctx.user_prefs.probe_a, ctx.user_prefs.probe_b, ctx.device_model, ctx.counts_per_div);
}

void apply_startup_defaults(ScopeContext& ctx) {
    Torv& s = ctx.current_settings;
    s.measure_count = kMeasureReadouts;
    s.a_coupling = kCouplingDC;
    s.b_coupling = kCouplingDC;
    s.run_mode = RunMode::Auto;
    s.single_armed = 1;
    s.time_base = kFallbackTimeBase;
    s.a_volt_div = 6;
    s.b_volt_div = 6;
    s.a_position = 0;
    s.b_position = 0;
    s.trigger_edge = kTriggerEdgeRising;
    s.trigger_source = 0;
    s.trigger_level = 0;
    s.trigger_x_percent = 50.0;
    s.view_offset = kDisplayCount / 4;
    ctx.sent_settings.trigger_x_percent = 49.0;
    ctx.sent_settings.run_mode = RunMode::Demo;
    refresh_derived(ctx, s);
}

void apply_user_prefs(ScopeContext& ctx) {
    ctx.current_settings.measure_count = ctx.user_prefs.measure_count;
    ctx.user_prefs.invert_a = 0;
    ctx.user_prefs.invert_b = 0;
    refresh_derived(ctx, ctx.current_settings);
}

void reset_scope_defaults(ScopeContext& ctx) {
    Torv& s = ctx.current_settings;
    s.run_mode = RunMode::Auto;
    s.time_base = kFallbackTimeBase;
    s.a_volt_div = 6;
    s.b_volt_div = 6;
    s.a_position = 0;
    s.b_position = 0;
    s.trigger_level = 0;
    refresh_derived(ctx, s);

    // Unsigned fields wrap, which still differs from the current value.
    Torv& sent = ctx.sent_settings;
    sent.time_base = kUnsentTimeBase;
    sent.a_position = static_cast<int16_t>(s.a_position + 1);
    sent.b_position = static_cast<int16_t>(s.b_position + 1);
    sent.a_volt_div = static_cast<uint8_t>(s.a_volt_div + 1);
    sent.b_volt_div = static_cast<uint8_t>(s.b_volt_div + 1);
    sent.a_coupling = s.a_coupling + 1;
    sent.b_coupling = s.b_coupling + 1;
    sent.trigger_code = static_cast<uint8_t>(s.trigger_code + 1);
    sent.trigger_level = static_cast<int16_t>(s.trigger_level + 1);
    sent.run_mode = RunMode::Demo;
}

} // namespace orv
