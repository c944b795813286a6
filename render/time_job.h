// SPDX-License-Identifier: MIT
// What the time-domain renderer reads and what it leaves behind. The job holds copies of every
// setting, preference and control state it reads, so a render never touches memory that the
// main thread writes meanwhile.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace orv::render {

// The fields of a settings record the renderer reads.
struct TraceSettings {
    uint8_t run_mode = 1;
    uint8_t time_base = 7;
    double time_per_div_ms = 1.0;
    double a_volts_per_div = 5.0;
    double b_volts_per_div = 5.0;
    int16_t a_position = 0;
    int16_t b_position = 0;
    int32_t a_coupling = 0; // 0 DC, 1 GND, 2 AC
    int32_t b_coupling = 0;
    int16_t trigger_level = 0;
    double trigger_x_percent = 50.0;
    int32_t view_offset = 1536;
};

// The display preferences the renderer reads.
struct TracePrefs {
    uint32_t background_colour = 0x000000;
    bool grid_on = true;
    uint32_t grid_colour = 0x808080;
    int grid_draw_mode = 2;
    bool cursor_on = true;
    uint32_t cursor_colour = 0x00FFFF;
    int cursor_draw_mode = 1;
    int channel_draw_mode = 0;
    uint32_t ab_colour = 0xFF00FF;
    uint32_t trigger_cursor_colour = 0x0000FF;
    bool interpolation_on = false;
    bool show_a_plus_b = false;
    bool show_a_minus_b = false;
};

struct TimeJob {
    std::span<const uint16_t> samples; // interleaved A, B; 256 ends every trace
    int32_t fill_position = 0;         // where new data meets old in a rolling display
    int32_t record_length = 0;         // interleaved entries the view spans
    int32_t view_centre = 0;           // timebar maximum minus position
    int32_t timebar_position = 0;
    TraceSettings current;             // what the front panel shows now
    TraceSettings frame;               // what the frame was acquired with
    TracePrefs prefs;
    double volts_scale = 1.0;
    int32_t span_current = 2500;       // trigger span of the current time base (N)
    int32_t span_frame = 2500;         // trigger span of the frame's time base (N_f)
    bool show_a = true;                // CheckBox1
    bool show_b = true;                // CheckBox2
    bool show_markers = true;          // CheckBox3
    uint32_t a_colour = 0x00FFFF;      // Label7
    uint32_t b_colour = 0x00FF00;      // Label8
    int32_t x1 = 0, x2 = 0, y1 = 0, y2 = 0; // cursors, pixels
};

// A data file holds up to 32 000 entries; the table is one larger than that plus the trailer so
// the math trace may read the B entry of the last pair.
inline constexpr std::size_t kOrdinateEntries = 32005;
using OrdinateTable = std::array<int16_t, kOrdinateEntries>;

struct ReadoutText {
    std::array<char, 64> text{};
    const char* c_str() const { return text.data(); }
};

struct TimeResult {
    bool rendered = false; // false: the image is too small to draw on
    double centre_row = 0;
    double pixels_per_count = 0;
    int32_t trigger_row = 0;
    double trigger_column = 0;      // not clamped
    int32_t trigger_column_px = 0;  // clamped to the plot, truncated
    ReadoutText time_text, freq_text, a_text, b_text;
};

// Cursor read-outs: |X1-X2|, 1/|X1-X2|, |Y1-Y2| in volts of A and B.
struct CursorTexts {
    ReadoutText time_text, freq_text, a_text, b_text;
};
CursorTexts cursor_texts(double dx_divs, double dy_divs, double time_per_div_ms,
                         double a_volts_per_div, double b_volts_per_div);

} // namespace orv::render
