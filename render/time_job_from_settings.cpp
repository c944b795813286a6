// SPDX-License-Identifier: MIT
#include "render/time_job_from_settings.h"

#include "core/scope/tables.h"
#include "core/scope/torv.h"
#include "core/scope/user_prefs.h"

namespace orv::render {

TraceSettings trace_settings(const orv::Torv& s) {
    TraceSettings t;
    t.run_mode = static_cast<uint8_t>(s.run_mode);
    t.time_base = s.time_base;
    t.time_per_div_ms = s.time_per_div_ms;
    t.a_volts_per_div = s.a_volts_per_div;
    t.b_volts_per_div = s.b_volts_per_div;
    t.a_position = s.a_position;
    t.b_position = s.b_position;
    t.a_coupling = s.a_coupling;
    t.b_coupling = s.b_coupling;
    t.trigger_level = s.trigger_level;
    t.trigger_x_percent = s.trigger_x_percent;
    t.view_offset = s.view_offset;
    return t;
}

TracePrefs trace_prefs(const orv::UserPrefs& p) {
    TracePrefs t;
    t.background_colour = static_cast<uint32_t>(p.background_colour);
    t.grid_on = p.grid_on != 0;
    t.grid_colour = static_cast<uint32_t>(p.grid_colour);
    t.grid_draw_mode = p.grid_draw_mode;
    t.cursor_on = p.cursor_on != 0;
    t.cursor_colour = static_cast<uint32_t>(p.cursor_colour);
    t.cursor_draw_mode = p.cursor_draw_mode;
    t.channel_draw_mode = p.channel_draw_mode;
    t.ab_colour = static_cast<uint32_t>(p.ab_colour);
    t.trigger_cursor_colour = static_cast<uint32_t>(p.trigger_cursor_colour);
    t.interpolation_on = p.interpolation_on != 0;
    t.show_a_plus_b = p.show_a_plus_b != 0;
    t.show_a_minus_b = p.show_a_minus_b != 0 && p.show_a_plus_b == 0;
    return t;
}

TimeJob time_job_from_settings(const orv::Torv& current, const orv::Torv& frame,
                               const orv::UserPrefs& prefs, int device_model, double volts_scale) {
    TimeJob job;
    job.current = trace_settings(current);
    job.frame = trace_settings(frame);
    job.prefs = trace_prefs(prefs);
    job.volts_scale = volts_scale;
    job.span_current = orv::trigger_span(current.time_base, device_model);
    job.span_frame = orv::trigger_span(frame.time_base, device_model);
    job.a_colour = static_cast<uint32_t>(prefs.a_colour);
    job.b_colour = static_cast<uint32_t>(prefs.b_colour);
    return job;
}

} // namespace orv::render
