// SPDX-License-Identifier: MIT
// "capture": drives the acquisition engine with its own 40 ms timer, exactly as the program
// does, and writes complete frames as oscilloscope data files.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/command.h"
#include "core/files/dat_file.h"
#include "core/scope/acquisition.h"
#include "core/scope/null_ports.h"
#include "core/scope/setup_files.h"
#include "sim/simulator_host.h"

namespace orv::cli {
namespace {

constexpr int kExitNoDevice = 2;
constexpr int kExitTimeout = 3;

constexpr const char* kUsage =
    "usage: orv5800-cli capture (--simulate[=MODEL] | --device N) [--timebase I] [--volts-a I] [--volts-b I]\n"
    "         [--coupling-a dc|gnd|ac] [--coupling-b dc|gnd|ac] [--position-a N] [--position-b N]\n"
    "         [--trigger-source a|b] [--trigger-edge rising|falling|level] [--trigger-level N]\n"
    "         [--trigger-percent P] [--mode auto|normal|single] [--frames N] [--timeout S] --out FILE.dat\n";

// Takes every complete committed frame.
class FrameTap final : public EngineHooks {
public:
    FrameTap() { frame_.reserve(kJobSampleCapacity); }
    void watch(const Scope& scope) { scope_ = &scope; }
    void record_frame(const Sample* frame, uint32_t length) override {
        // A roll trace still growing is not a frame yet.
        if (!scope_ || length != scope_->frame_count() || length == 0) return;
        frame_.assign(frame, frame + length);
        ++frames_;
        fresh_ = true;
    }
    bool take() { return std::exchange(fresh_, false); }
    const std::vector<Sample>& frame() const { return frame_; }
    int frames() const { return frames_; }

private:
    const Scope* scope_ = nullptr;
    std::vector<Sample> frame_;
    int frames_ = 0;
    bool fresh_ = false;
};

struct Options {
    bool simulate = false;
    int model = 0;
    int device = -1;
    std::optional<int> time_base, volts_a, volts_b, coupling_a, coupling_b, position_a, position_b;
    std::optional<int> trigger_source, trigger_edge, trigger_level;
    std::optional<double> trigger_percent;
    RunMode mode = RunMode::Auto;
    int frames = 1;
    double timeout_s = 10.0;
    std::string out;
};

int fail(const char* message, int code = kExitFailure) {
    std::fprintf(stderr, "orv5800-cli capture: %s\n", message);
    return code;
}

template <class T>
bool parse_number(std::string_view text, T& out, T lo, T hi) {
    T v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || v < lo || v > hi) return false;
    out = v;
    return true;
}

int coupling_code(std::string_view v) {
    return v == "dc" ? kCouplingDC : v == "gnd" ? kCouplingGND : v == "ac" ? kCouplingAC : -1;
}

// Returns an empty string on success, else the message.
std::string parse(Args args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        auto value = [&](std::string_view& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        std::string_view v;
        auto int_option = [&](std::optional<int>& target, int lo, int hi) {
            int n = 0;
            if (!value(v) || !parse_number(v, n, lo, hi)) return false;
            target = n;
            return true;
        };
        const std::string bad = std::string("bad value for ") + std::string(a);
        if (a == "--simulate" || a.starts_with("--simulate=")) {
            o.simulate = true;
            if (a.size() > 10 && !parse_number(a.substr(11), o.model, 0, 5)) return "--simulate=MODEL needs 0..5";
        } else if (a == "--device") {
            if (!value(v) || !parse_number(v, o.device, 0, 3)) return "--device needs 0..3";
        } else if (a == "--timebase") {
            if (!int_option(o.time_base, 0, kTimeBases - 1)) return bad;
        } else if (a == "--volts-a") {
            if (!int_option(o.volts_a, 0, kVoltDivs - 1)) return bad;
        } else if (a == "--volts-b") {
            if (!int_option(o.volts_b, 0, kVoltDivs - 1)) return bad;
        } else if (a == "--coupling-a" || a == "--coupling-b") {
            if (!value(v) || coupling_code(v) < 0) return bad;
            (a == "--coupling-a" ? o.coupling_a : o.coupling_b) = coupling_code(v);
        } else if (a == "--position-a") {
            if (!int_option(o.position_a, -126, 126)) return bad;
        } else if (a == "--position-b") {
            if (!int_option(o.position_b, -126, 126)) return bad;
        } else if (a == "--trigger-source") {
            if (!value(v) || (v != "a" && v != "b")) return bad;
            o.trigger_source = v == "b" ? 1 : 0;
        } else if (a == "--trigger-edge") {
            if (!value(v)) return bad;
            if (v == "rising") o.trigger_edge = kTriggerEdgeRising;
            else if (v == "falling") o.trigger_edge = kTriggerEdgeFalling;
            else if (v == "level") o.trigger_edge = kTriggerEdgeLevel;
            else return bad;
        } else if (a == "--trigger-level") {
            if (!int_option(o.trigger_level, -126, 126)) return bad;
        } else if (a == "--trigger-percent") {
            double p = 0;
            if (!value(v) || !parse_number(v, p, 0.0, 100.0)) return bad;
            o.trigger_percent = p;
        } else if (a == "--mode") {
            if (!value(v)) return bad;
            if (v == "auto") o.mode = RunMode::Auto;
            else if (v == "normal") o.mode = RunMode::Normal;
            else if (v == "single") o.mode = RunMode::Single;
            else return bad;
        } else if (a == "--frames") {
            if (!value(v) || !parse_number(v, o.frames, 1, 1000000)) return bad;
        } else if (a == "--timeout") {
            if (!value(v) || !parse_number(v, o.timeout_s, 0.0, 86400.0)) return bad;
        } else if (a == "--out") {
            if (!value(v) || v.empty()) return bad;
            o.out = std::string(v);
        } else {
            return "unknown argument " + std::string(a);
        }
    }
    if (o.simulate == (o.device >= 0)) return "give either --simulate or --device N";
    if (o.out.empty()) return "--out FILE.dat is required";
    return {};
}

std::string file_for(const std::string& pattern, int frame, bool numbered) {
    if (!numbered) return pattern;
    const auto at = pattern.find("%d");
    return pattern.substr(0, at) + std::to_string(frame) + pattern.substr(at + 2);
}

int capture(const GlobalOptions& global, Args args) {
    Options o;
    if (const std::string error = parse(args, o); !error.empty()) {
        std::fprintf(stderr, "orv5800-cli capture: %s\n%s", error.c_str(), kUsage);
        return kExitFailure;
    }
    const bool numbered = o.frames > 1 && o.out.find("%d") != std::string::npos;

    std::unique_ptr<sim::SimulatorHost> host;
    if (o.simulate) {
        std::string error;
        host = sim::SimulatorHost::start(o.model, &error);
        if (!host) return fail(("cannot start the simulator: " + error).c_str());
        ::setenv("ORBLINK_DEVICE_DIR", host->directory().c_str(), 1);
        o.device = 0;
    }

    ScopeContext ctx;
    ctx.program_folder = global.program_folder;
    apply_startup_defaults(ctx);
    SetupLoadResult setup = read_language_file(ctx);
    if (setup.ok()) setup = load_setup_files(ctx);
    if (!setup.ok()) {
        // Without a program folder the tool still captures, with the nominal calibration.
        ctx.offset_table = calibration::nominal_offset_table();
        recompute_scale(ctx);
    }
    apply_user_prefs(ctx);

    NullUiPort ui;
    FrameTap tap;
    Scope scope(ctx, orblink_library(), ui, tap);
    tap.watch(scope);
    scope.set_home_device(o.device);
    scope.search().only_device(o.device);
    scope.start();
    if (!scope.connect(device_name(o.device)))
        return fail(("no device " + std::string(device_name(o.device))).c_str(), kExitNoDevice);

    // The capture's settings, then the trigger point at the centre of the view.
    Torv& cur = ctx.current_settings;
    if (o.time_base) cur.time_base = static_cast<uint8_t>(*o.time_base);
    if (o.volts_a) cur.a_volt_div = static_cast<uint8_t>(*o.volts_a);
    if (o.volts_b) cur.b_volt_div = static_cast<uint8_t>(*o.volts_b);
    if (o.coupling_a) cur.a_coupling = *o.coupling_a;
    if (o.coupling_b) cur.b_coupling = *o.coupling_b;
    if (o.position_a) cur.a_position = static_cast<int16_t>(*o.position_a);
    if (o.position_b) cur.b_position = static_cast<int16_t>(*o.position_b);
    if (o.trigger_source) cur.trigger_source = static_cast<uint8_t>(*o.trigger_source);
    if (o.trigger_edge) cur.trigger_edge = static_cast<uint8_t>(*o.trigger_edge);
    if (o.trigger_level) cur.trigger_level = static_cast<int16_t>(*o.trigger_level);
    cur.trigger_x_percent = o.trigger_percent.value_or(50.0);
    cur.view_offset = scope.timebar_position();
    cur.run_mode = o.mode;
    cur.single_armed = 1;
    scope.first_frame_pending = false;
    refresh_derived(ctx, cur);
    if (!scope.send_settings() || !scope.send_trigger_position()) scope.reconnect();
    scope.clear_traces();

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o.timeout_s));
    auto next_tick = Clock::now();
    auto next_search = next_tick;
    int written = 0;
    while (tap.frames() < o.frames) {
        if (Clock::now() >= deadline) {
            scope.stop();
            return fail("timeout", kExitTimeout);
        }
        std::this_thread::sleep_until(next_tick);
        next_tick += std::chrono::milliseconds(40);
        scope.ReadTimerTimer();
        if (scope.search().running() && Clock::now() >= next_search) {
            scope.search().tick();
            next_search = Clock::now() + std::chrono::milliseconds(kSearchIntervalMs);
        }
        if (tap.take() && numbered) {
            const std::string path = file_for(o.out, ++written, true);
            const files::DatSettings s{cur.time_base, cur.a_volt_div, cur.b_volt_div, cur.a_position, cur.b_position};
            if (files::write_dat_file(path, tap.frame(), s) != files::DatStatus::Ok)
                return fail(("Can't perform file Save operation. " + path).c_str());
        }
    }
    scope.stop();
    if (!numbered) {
        const files::DatSettings s{cur.time_base, cur.a_volt_div, cur.b_volt_div, cur.a_position, cur.b_position};
        if (files::write_dat_file(o.out, tap.frame(), s) != files::DatStatus::Ok)
            return fail(("Can't perform file Save operation. " + o.out).c_str());
    }
    return kExitOk;
}

} // namespace

ORV_CLI_COMMAND("capture", "(--simulate[=MODEL] | --device N) ... --out FILE.dat",
                "capture frames from an instrument or the simulator into data files", capture);

} // namespace orv::cli
