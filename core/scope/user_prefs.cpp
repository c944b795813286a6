// SPDX-License-Identifier: MIT
#include "core/scope/user_prefs.h"

namespace orv {

UserPrefs factory_user_prefs() {
    UserPrefs p;
    p.cursor_colour = 0x0080FF; // orange
    p.cursor_on = 1;
    p.background_colour = kColourBlack;
    p.a_colour = kColourYellow;
    p.b_colour = kColourCyan;
    p.ab_colour = kColourMagenta;
    p.channel_draw_mode = 0;
    p.cursor_draw_mode = 2;
    p.grid_on = 1;
    p.grid_colour = 0x808080;
    p.grid_draw_mode = 2;
    p.probe_a = 0;
    p.probe_b = 0;
    p.playback_interval = 5;
    for (int i = 0; i < kMeasureReadouts; ++i) {
        p.measure_colour[i] = kColourGreen;
        p.measure_item[i] = static_cast<int16_t>(i);
    }
    p.measure_count = kMeasureReadouts;
    p.trigger_cursor_colour = kColourRed;

    p.fftview_background_colour = kColourBlack;
    p.fftview_a_colour = kColourYellow;
    p.fftview_b_colour = kColourCyan;
    p.fftview_cursor_colour = 0x0080FF;
    p.fftview_channel_display = 0;
    p.fftview_cursor_on = 1;
    p.fftview_grid_on = 1;
    p.fftview_grid_colour = 0x808080;
    p.fftview_grid_draw_mode = 1;
    p.fftview_cursor_draw_mode = 1;

    p.xy_background_colour = kColourBlack;
    p.xy_line_colour = kColourGreen;
    p.xy_mode = 0;

    p.cplot_background_colour = kColourBlack;
    p.cplot_a_colour = kColourYellow;
    p.cplot_b_colour = kColourCyan;
    p.cplot_cursor_colour = 0x0080FF;
    p.cplot_channel_display = 0;
    p.cplot_cursor_on = 1;

    p.fftview_scheme = 0;
    p.fftview_display_mode = 0;

    p.main_width = 1024;
    p.main_height = 768;
    p.control_panel_width = 410;
    p.measure_panel_height = 150;
    p.cursor_pixels[0] = 200; // X1, X2, Y1, Y2
    p.cursor_pixels[1] = 400;
    p.cursor_pixels[2] = 150;
    p.cursor_pixels[3] = 300;
    p.fftview_cursor_pixels[0] = 200;
    p.fftview_cursor_pixels[1] = 100;
    p.fftview_cursor_pixels[2] = 150;
    // A saved screen size of 0 x 0 never matches, so the first start opens maximised and records
    // the real screen size.
    p.screen_width = 0;
    p.screen_height = 0;
    p.interpolation_on = 1;
    p.open_item_visible = 0;
    p.toolbar_visible = 1;

    p.meter_ra = 1; // 1 kilo-ohm
    p.meter_rb = 1;
    p.meter_ra_unit = 1;
    p.meter_rb_unit = 1;

    p.cursor_fractions[0] = 0.25; // Y1, Y2, X1, X2
    p.cursor_fractions[1] = 0.5;
    p.cursor_fractions[2] = 1.0 / 3.0;
    p.cursor_fractions[3] = 2.0 / 3.0;
    p.fftview_cursor_fractions[0] = 0.5;
    p.fftview_cursor_fractions[1] = -0.5;
    p.fftview_cursor_fractions[2] = -0.5;

    p.logic_scope_enabled = 1;
    p.logic_info_on = 1;
    p.logic_data_switch = 1;
    p.logic_info_colour = kColourBlack;
    p.logic_cursor_info_colour = kColourBlack;
    return p;
}

} // namespace orv
