// SPDX-License-Identifier: MIT
// "setup show": decodes the setup folder the program would start with.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "core/scope/setup_files.h"

namespace orv::cli {
namespace {

void line(const char* name, const std::string& value) { std::printf("%-30s %s\n", name, value.c_str()); }

std::string num(long long v) { return std::to_string(v); }

std::string real(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

std::string colour(int32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08" PRIX32, static_cast<uint32_t>(c));
    return buf;
}

template <class T, std::size_t N, class F>
std::string list(const T (&values)[N], F format) {
    std::string s;
    for (std::size_t i = 0; i < N; ++i) s += (i ? " " : "") + format(values[i]);
    return s;
}

#define NUM(field) line(#field, num(p.field))
#define COLOUR(field) line(#field, colour(p.field))

void print_prefs(const UserPrefs& p) {
    COLOUR(cursor_colour);
    NUM(show_a_plus_b);
    NUM(show_a_minus_b);
    NUM(cursor_on);
    COLOUR(background_colour);
    COLOUR(a_colour);
    COLOUR(b_colour);
    COLOUR(ab_colour);
    NUM(channel_draw_mode);
    NUM(invert_a);
    NUM(invert_b);
    NUM(cursor_draw_mode);
    NUM(grid_on);
    COLOUR(grid_colour);
    NUM(grid_draw_mode);
    NUM(probe_a);
    NUM(probe_b);
    NUM(playback_interval);
    line("measure_colour", list(p.measure_colour, colour));
    line("measure_item", list(p.measure_item, [](int16_t v) { return num(v); }));
    NUM(measure_count);
    COLOUR(trigger_cursor_colour);
    COLOUR(fftview_background_colour);
    COLOUR(fftview_a_colour);
    COLOUR(fftview_b_colour);
    COLOUR(fftview_cursor_colour);
    NUM(fftview_channel_display);
    NUM(fftview_cursor_on);
    NUM(fftview_grid_on);
    COLOUR(fftview_grid_colour);
    NUM(fftview_grid_draw_mode);
    NUM(fftview_cursor_draw_mode);
    COLOUR(xy_background_colour);
    COLOUR(xy_line_colour);
    NUM(xy_mode);
    COLOUR(cplot_background_colour);
    COLOUR(cplot_a_colour);
    COLOUR(cplot_b_colour);
    COLOUR(cplot_cursor_colour);
    NUM(cplot_channel_display);
    NUM(cplot_cursor_on);
    NUM(fftview_scheme);
    NUM(fftview_display_mode);
    NUM(main_width);
    NUM(main_height);
    NUM(control_panel_width);
    NUM(measure_panel_height);
    line("cursor_pixels", list(p.cursor_pixels, [](int32_t v) { return num(v); }));
    line("fftview_cursor_pixels", list(p.fftview_cursor_pixels, [](int32_t v) { return num(v); }));
    NUM(screen_width);
    NUM(screen_height);
    NUM(interpolation_on);
    NUM(open_item_visible);
    NUM(toolbar_visible);
    NUM(meter_ra);
    NUM(meter_rb);
    NUM(meter_ra_unit);
    NUM(meter_rb_unit);
    line("cursor_fractions", list(p.cursor_fractions, real));
    line("fftview_cursor_fractions", list(p.fftview_cursor_fractions, real));
    NUM(logic_scope_enabled);
    NUM(logic_info_on);
    NUM(logic_data_switch);
    COLOUR(logic_info_colour);
    COLOUR(logic_cursor_info_colour);
}

void print_logic(const LogicSettings& p) {
    NUM(rate_index);
    line("zoom", real(p.zoom));
    NUM(external_clock);
    NUM(clock_edge);
    NUM(trigger_source);
    NUM(trigger_mode);
    NUM(trigger_value);
    NUM(trigger_mask);
    line("trigger_fine_offset", real(p.trigger_fine_offset));
    NUM(sample_count);
}

#undef NUM
#undef COLOUR

void print_offsets(const char* name, const OffsetTable& t) {
    // The codes at position 0 of every range tell at a glance whether a table is plausible.
    std::string a, b;
    for (int v = 0; v < kOffsetBlocks; ++v) {
        a += (v ? " " : "") + num(t.offset_for(Channel::A, v, 0));
        b += (v ? " " : "") + num(t.offset_for(Channel::B, v, 0));
    }
    line((std::string(name) + " A@0").c_str(), a);
    line((std::string(name) + " B@0").c_str(), b);
}

int setup_show(const GlobalOptions& options, Args args) {
    bool defaults = false;
    for (std::string_view a : args) {
        if (a == "--defaults") {
            defaults = true;
        } else {
            std::fprintf(stderr, "orv5800-cli setup show: unknown argument %.*s\n", static_cast<int>(a.size()), a.data());
            return kExitUsage;
        }
    }

    ScopeContext ctx;
    ctx.program_folder = options.program_folder;
    SetupLoadResult r = read_language_file(ctx);
    if (r.ok()) r = load_setup_files(ctx);
    if (!r.ok()) {
        const auto message = r.message();
        std::fprintf(stderr, "%.*s\n%s\n", static_cast<int>(message.size()), message.data(), r.file.c_str());
        return kExitFailure;
    }
    double factory_constant = 1.0;
    const bool have_factory_constant =
        read_record(ctx.program_folder.setup_file(kFactoryConstantFile), factory_constant).status == SetupStatus::Ok;

    std::printf("[folder]\n");
    line("setup", ctx.program_folder.setup_dir().string());
    std::printf("\n[constants]\n");
    line("language", num(ctx.language));
    line("language_option", num(ctx.language_option));
    line("user_gain_adjust", real(ctx.user_gain_adjust));
    line("cal_constant", real(ctx.cal_constant));
    line("factory_constant", have_factory_constant ? real(factory_constant) : std::string("(no def_const.vit)"));
    line("volts_scale", real(ctx.volts_scale));
    line("counts_per_div", real(ctx.counts_per_div));
    std::printf("\n[%s]\n", defaults ? "dsp.vit" : "usp.vit");
    print_prefs(defaults ? ctx.default_prefs : ctx.user_prefs);
    std::printf("\n[logic_usp.vit]\n");
    print_logic(ctx.logic_settings);
    std::printf("\n[offsets]\n");
    print_offsets("ucal.vit", ctx.offset_table);
    print_offsets("dcal.vit", ctx.factory_offset_table);
    return kExitOk;
}

int setup(const GlobalOptions& options, Args args) {
    if (!args.empty() && args[0] == "show") return setup_show(options, args.subspan(1));
    std::fprintf(stderr, "usage: orv5800-cli [--home DIR] setup show [--defaults]\n");
    return kExitUsage;
}

} // namespace

ORV_CLI_COMMAND("setup", "show [--defaults]", "decode the setup files (usp.vit, or dsp.vit with --defaults)", setup);

} // namespace orv::cli
