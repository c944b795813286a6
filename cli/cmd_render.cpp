// SPDX-License-Identifier: MIT
// "render FILE.dat OUT.png [--size WxH] [--model M]": draws a data file's frame with the
// program's trace renderer, as the window shows a loaded file in Hold: the file's trailer gives
// the frame and current settings, the program folder's preferences the colours, grid and cursors.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "cli/command.h"
#include "core/files/dat_file.h"
#include "core/scope/scope_context.h"
#include "core/scope/setup_files.h"
#include "core/scope/tables.h"
#include "render/time_job_from_settings.h"
#include "render/time_render.h"

namespace orv::cli {
namespace {

constexpr const char* kUsage = "usage: orv5800-cli [--home DIR] render FILE.dat OUT.png [--size WxH] [--model M]\n";
// Ten divisions of 100 pixels across and of 50 down, plus the one-pixel margins.
constexpr int kDefaultWidth = 1001;
constexpr int kDefaultHeight = 501;
constexpr int kMaxSide = 16384;

bool parse_int(std::string_view v, int& out) {
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    return !v.empty() && ec == std::errc{} && end == v.data() + v.size();
}

bool parse_size(std::string_view v, int& w, int& h) {
    const auto x = v.find('x');
    if (x == std::string_view::npos) return false;
    return parse_int(v.substr(0, x), w) && parse_int(v.substr(x + 1), h) && w >= 2 && h >= 2 && w <= kMaxSide &&
           h <= kMaxSide;
}

int usage_error(const char* what) {
    std::fprintf(stderr, "orv5800-cli render: %s\n%s", what, kUsage);
    return kExitUsage;
}

// Fonts need a platform; the renderer never shows anything, so the offscreen one does.
void ensure_gui_application() {
    if (QGuiApplication::instance()) return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "orv5800-cli";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

int render(const GlobalOptions& options, Args args) {
    std::string in_path, out_path;
    int width = kDefaultWidth, height = kDefaultHeight;
    int model = kDefaultDeviceModel;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--model") {
            if (i + 1 >= args.size() || !parse_int(args[++i], model) || model < 0 || model >= kModels)
                return usage_error("--model needs a model code 0..5");
        } else if (a == "--size") {
            if (i + 1 >= args.size() || !parse_size(args[++i], width, height))
                return usage_error("--size needs WxH, each 2..16384");
        } else if (!a.starts_with("-") && in_path.empty()) {
            in_path = std::string(a);
        } else if (!a.starts_with("-") && out_path.empty()) {
            out_path = std::string(a);
        } else {
            std::fprintf(stderr, "orv5800-cli render: unexpected argument %.*s\n%s", static_cast<int>(a.size()),
                         a.data(), kUsage);
            return kExitUsage;
        }
    }
    if (in_path.empty() || out_path.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    ScopeContext ctx;
    ctx.program_folder = options.program_folder;
    ctx.device_model = model;
    apply_startup_defaults(ctx);
    SetupLoadResult setup = read_language_file(ctx);
    if (setup.ok()) setup = load_setup_files(ctx);
    if (!setup.ok()) {
        const auto message = setup.message();
        std::fprintf(stderr, "%.*s\n%s\n", static_cast<int>(message.size()), message.data(), setup.file.c_str());
        return kExitFailure;
    }
    apply_user_prefs(ctx);

    std::vector<uint16_t> buffer(files::kDatLoadBufferEntries, 256);
    const files::DatLoad load =
        files::read_dat_file(in_path, std::span<uint16_t, files::kDatLoadBufferEntries>(buffer.data(), buffer.size()));
    if (load.status == files::DatStatus::Rejected) {
        std::fprintf(stderr,
                     "orv5800-cli render: %s: not an oscilloscope data file "
                     "(under 50 bytes, over 32000 entries or a bad trailer)\n",
                     in_path.c_str());
        return kExitFailure;
    }
    if (load.status != files::DatStatus::Ok) {
        std::fprintf(stderr, "Can't perform file operations: Open, Read or Close.\n%s\n", in_path.c_str());
        return kExitFailure;
    }
    // As opening the file does: both records take the trailer, with the plain volts/div of the
    // loaded indices (no probe factor); the window is in Hold.
    Torv& current = ctx.current_settings;
    current.time_base = load.settings.time_base;
    current.a_volt_div = load.settings.a_volt_div;
    current.b_volt_div = load.settings.b_volt_div;
    current.a_position = load.settings.a_position;
    current.b_position = load.settings.b_position;
    current.run_mode = RunMode::Hold;
    refresh_derived(current, 0, 0, model, ctx.counts_per_div);
    ctx.frame_settings = current;
    // The view centred on the record, the trigger at 50 % of it.
    const int timebar_max = static_cast<int>(load.entries / 2);
    const int timebar_pos = timebar_max / 2;
    current.trigger_x_percent = 50.0;
    current.view_offset = timebar_pos;

    render::TimeJob job = render::time_job_from_settings(current, ctx.frame_settings, ctx.user_prefs,
                                                         model, ctx.volts_scale);
    job.samples = std::span<const uint16_t>(buffer.data(), load.entries);
    job.record_length = static_cast<int32_t>(load.entries);
    job.fill_position = static_cast<int32_t>(load.entries);
    job.view_centre = timebar_max - timebar_pos;
    job.timebar_position = timebar_pos;
    job.show_a = job.show_b = job.show_markers = true;
    job.x1 = ctx.user_prefs.cursor_pixels[0];
    job.x2 = ctx.user_prefs.cursor_pixels[1];
    job.y1 = ctx.user_prefs.cursor_pixels[2];
    job.y2 = ctx.user_prefs.cursor_pixels[3];

    ensure_gui_application();
    QImage image(width, height, QImage::Format_RGB32);
    render::TimeRenderState state;
    render::render_time(job, image, state);
    if (!image.save(QString::fromStdString(out_path), "PNG")) {
        std::fprintf(stderr, "orv5800-cli render: cannot write %s\n", out_path.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

ORV_CLI_COMMAND("render", "FILE.dat OUT.png [--size WxH] [--model M]",
                "draw a data file's frame as the window shows it in Hold", render);

} // namespace orv::cli
