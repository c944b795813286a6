// SPDX-License-Identifier: MIT
// The user's display preferences ("usp.vit") and the factory copy of the same layout
// ("dsp.vit"). A flat 344-byte record; reserved bytes carry no meaning but are written back as
// read, so a file from another build keeps them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

inline constexpr int kMeasureReadouts = 12;

struct UserPrefs {
    int32_t cursor_colour = 0;
    uint8_t show_a_plus_b = 0;
    uint8_t show_a_minus_b = 0;
    uint8_t cursor_on = 0;
    uint8_t reserved_007 = 0;
    int32_t background_colour = 0;
    int32_t a_colour = 0;
    int32_t b_colour = 0;
    int32_t ab_colour = 0;
    int16_t channel_draw_mode = 0;
    uint8_t invert_a = 0;
    uint8_t invert_b = 0;
    int16_t cursor_draw_mode = 0;
    uint8_t grid_on = 0;
    uint8_t reserved_01f = 0;
    int32_t grid_colour = 0;
    int16_t grid_draw_mode = 0;
    int16_t probe_a = 0;
    int16_t probe_b = 0;
    int16_t playback_interval = 0;
    int32_t measure_colour[kMeasureReadouts]{};
    int16_t measure_item[kMeasureReadouts]{};
    int16_t measure_count = 0;
    uint8_t reserved_076[2]{};
    int32_t trigger_cursor_colour = 0;
    int32_t fftview_background_colour = 0;
    int32_t fftview_a_colour = 0;
    int32_t fftview_b_colour = 0;
    int32_t fftview_cursor_colour = 0;
    int16_t fftview_channel_display = 0;
    uint8_t fftview_cursor_on = 0;
    uint8_t reserved_08f = 0;
    uint8_t fftview_grid_on = 0;
    uint8_t reserved_091[3]{};
    int32_t fftview_grid_colour = 0;
    int16_t fftview_grid_draw_mode = 0;
    int16_t fftview_cursor_draw_mode = 0;
    int32_t xy_background_colour = 0;
    int32_t xy_line_colour = 0;
    uint8_t xy_mode = 0;
    uint8_t reserved_0a5[3]{};
    int32_t cplot_background_colour = 0;
    int32_t cplot_a_colour = 0;
    int32_t cplot_b_colour = 0;
    int32_t cplot_cursor_colour = 0;
    int16_t cplot_channel_display = 0;
    uint8_t cplot_cursor_on = 0;
    uint8_t reserved_0bb[3]{};
    int16_t fftview_scheme = 0;
    int16_t fftview_display_mode = 0;
    uint8_t reserved_0c2[2]{};
    int32_t main_width = 0;
    int32_t main_height = 0;
    int32_t control_panel_width = 0;
    int32_t measure_panel_height = 0;
    int32_t cursor_pixels[4]{};          // X1, X2, Y1, Y2
    int32_t fftview_cursor_pixels[3]{};  // x, A level y, B level y
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    uint8_t interpolation_on = 0;
    uint8_t open_item_visible = 0;
    uint8_t toolbar_visible = 0;
    uint8_t reserved_0fb = 0;
    int32_t meter_ra = 0;
    int32_t meter_rb = 0;
    int32_t meter_ra_unit = 0;
    int32_t meter_rb_unit = 0;
    uint8_t reserved_10c[4]{};
    double cursor_fractions[4]{};         // Y1, Y2, X1, X2
    double fftview_cursor_fractions[3]{}; // x, A level y, B level y
    uint8_t logic_scope_enabled = 0;
    uint8_t logic_info_on = 0;
    uint8_t logic_data_switch = 0;
    uint8_t reserved_14b = 0;
    int32_t logic_info_colour = 0;
    int32_t logic_cursor_info_colour = 0;
    uint8_t reserved_154[4]{};
};

static_assert(sizeof(UserPrefs) == 344);
static_assert(offsetof(UserPrefs, cursor_colour) == 0x000);
static_assert(offsetof(UserPrefs, show_a_plus_b) == 0x004);
static_assert(offsetof(UserPrefs, show_a_minus_b) == 0x005);
static_assert(offsetof(UserPrefs, cursor_on) == 0x006);
static_assert(offsetof(UserPrefs, reserved_007) == 0x007);
static_assert(offsetof(UserPrefs, background_colour) == 0x008);
static_assert(offsetof(UserPrefs, a_colour) == 0x00C);
static_assert(offsetof(UserPrefs, b_colour) == 0x010);
static_assert(offsetof(UserPrefs, ab_colour) == 0x014);
static_assert(offsetof(UserPrefs, channel_draw_mode) == 0x018);
static_assert(offsetof(UserPrefs, invert_a) == 0x01A);
static_assert(offsetof(UserPrefs, invert_b) == 0x01B);
static_assert(offsetof(UserPrefs, cursor_draw_mode) == 0x01C);
static_assert(offsetof(UserPrefs, grid_on) == 0x01E);
static_assert(offsetof(UserPrefs, reserved_01f) == 0x01F);
static_assert(offsetof(UserPrefs, grid_colour) == 0x020);
static_assert(offsetof(UserPrefs, grid_draw_mode) == 0x024);
static_assert(offsetof(UserPrefs, probe_a) == 0x026);
static_assert(offsetof(UserPrefs, probe_b) == 0x028);
static_assert(offsetof(UserPrefs, playback_interval) == 0x02A);
static_assert(offsetof(UserPrefs, measure_colour) == 0x02C);
static_assert(offsetof(UserPrefs, measure_item) == 0x05C);
static_assert(offsetof(UserPrefs, measure_count) == 0x074);
static_assert(offsetof(UserPrefs, reserved_076) == 0x076);
static_assert(offsetof(UserPrefs, trigger_cursor_colour) == 0x078);
static_assert(offsetof(UserPrefs, fftview_background_colour) == 0x07C);
static_assert(offsetof(UserPrefs, fftview_a_colour) == 0x080);
static_assert(offsetof(UserPrefs, fftview_b_colour) == 0x084);
static_assert(offsetof(UserPrefs, fftview_cursor_colour) == 0x088);
static_assert(offsetof(UserPrefs, fftview_channel_display) == 0x08C);
static_assert(offsetof(UserPrefs, fftview_cursor_on) == 0x08E);
static_assert(offsetof(UserPrefs, reserved_08f) == 0x08F);
static_assert(offsetof(UserPrefs, fftview_grid_on) == 0x090);
static_assert(offsetof(UserPrefs, reserved_091) == 0x091);
static_assert(offsetof(UserPrefs, fftview_grid_colour) == 0x094);
static_assert(offsetof(UserPrefs, fftview_grid_draw_mode) == 0x098);
static_assert(offsetof(UserPrefs, fftview_cursor_draw_mode) == 0x09A);
static_assert(offsetof(UserPrefs, xy_background_colour) == 0x09C);
static_assert(offsetof(UserPrefs, xy_line_colour) == 0x0A0);
static_assert(offsetof(UserPrefs, xy_mode) == 0x0A4);
static_assert(offsetof(UserPrefs, reserved_0a5) == 0x0A5);
static_assert(offsetof(UserPrefs, cplot_background_colour) == 0x0A8);
static_assert(offsetof(UserPrefs, cplot_a_colour) == 0x0AC);
static_assert(offsetof(UserPrefs, cplot_b_colour) == 0x0B0);
static_assert(offsetof(UserPrefs, cplot_cursor_colour) == 0x0B4);
static_assert(offsetof(UserPrefs, cplot_channel_display) == 0x0B8);
static_assert(offsetof(UserPrefs, cplot_cursor_on) == 0x0BA);
static_assert(offsetof(UserPrefs, reserved_0bb) == 0x0BB);
static_assert(offsetof(UserPrefs, fftview_scheme) == 0x0BE);
static_assert(offsetof(UserPrefs, fftview_display_mode) == 0x0C0);
static_assert(offsetof(UserPrefs, reserved_0c2) == 0x0C2);
static_assert(offsetof(UserPrefs, main_width) == 0x0C4);
static_assert(offsetof(UserPrefs, main_height) == 0x0C8);
static_assert(offsetof(UserPrefs, control_panel_width) == 0x0CC);
static_assert(offsetof(UserPrefs, measure_panel_height) == 0x0D0);
static_assert(offsetof(UserPrefs, cursor_pixels) == 0x0D4);
static_assert(offsetof(UserPrefs, fftview_cursor_pixels) == 0x0E4);
static_assert(offsetof(UserPrefs, screen_width) == 0x0F0);
static_assert(offsetof(UserPrefs, screen_height) == 0x0F4);
static_assert(offsetof(UserPrefs, interpolation_on) == 0x0F8);
static_assert(offsetof(UserPrefs, open_item_visible) == 0x0F9);
static_assert(offsetof(UserPrefs, toolbar_visible) == 0x0FA);
static_assert(offsetof(UserPrefs, reserved_0fb) == 0x0FB);
static_assert(offsetof(UserPrefs, meter_ra) == 0x0FC);
static_assert(offsetof(UserPrefs, meter_rb) == 0x100);
static_assert(offsetof(UserPrefs, meter_ra_unit) == 0x104);
static_assert(offsetof(UserPrefs, meter_rb_unit) == 0x108);
static_assert(offsetof(UserPrefs, reserved_10c) == 0x10C);
static_assert(offsetof(UserPrefs, cursor_fractions) == 0x110);
static_assert(offsetof(UserPrefs, fftview_cursor_fractions) == 0x130);
static_assert(offsetof(UserPrefs, logic_scope_enabled) == 0x148);
static_assert(offsetof(UserPrefs, logic_info_on) == 0x149);
static_assert(offsetof(UserPrefs, logic_data_switch) == 0x14A);
static_assert(offsetof(UserPrefs, reserved_14b) == 0x14B);
static_assert(offsetof(UserPrefs, logic_info_colour) == 0x14C);
static_assert(offsetof(UserPrefs, logic_cursor_info_colour) == 0x150);
static_assert(offsetof(UserPrefs, reserved_154) == 0x154);

// Colours are 0x00BBGGRR.
inline constexpr int32_t kColourBlack = 0x000000;
inline constexpr int32_t kColourRed = 0x0000FF;
inline constexpr int32_t kColourGreen = 0x00FF00;
inline constexpr int32_t kColourBlue = 0xFF0000;
inline constexpr int32_t kColourYellow = 0x00FFFF;
inline constexpr int32_t kColourCyan = 0xFFFF00;
inline constexpr int32_t kColourMagenta = 0xFF00FF;
inline constexpr int32_t kColourWhite = 0xFFFFFF;

// The factory preferences shipped as "dsp.vit" (and as the first "usp.vit").
UserPrefs factory_user_prefs();

} // namespace orv
