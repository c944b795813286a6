// SPDX-License-Identifier: MIT
#include "sim/options.h"

#include <cstdlib>
#include <functional>

namespace orv::sim {
namespace {

std::optional<long long> integer(const std::string& s) {
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 0);
    if (*end != '\0') return std::nullopt;
    return v;
}

std::optional<double> real(const std::string& s) {
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (*end != '\0') return std::nullopt;
    return v;
}

// Options that need no value.
bool is_flag(const std::string& name) {
    return name == "--virtual-clock" || name == "--quiet" || name == "--help" || name == "-h";
}

} // namespace

std::array<uint8_t, 5> default_id(int device_number) {
    return {20, 12, 3, uint8_t(1 + device_number / 100), uint8_t(device_number % 100 + 1)};
}

std::string default_device_dir() {
    if (const char* d = std::getenv("ORBLINK_DEVICE_DIR"); d && *d) return d;
    const char* rt = std::getenv("XDG_RUNTIME_DIR");
    return std::string(rt && *rt ? rt : "/tmp") + "/orblink";
}

std::string usage() {
    return "usage: rtm5800-sim [options]\n"
           "  --dir DIR                  device directory (default $ORBLINK_DEVICE_DIR or ${XDG_RUNTIME_DIR:-/tmp}/orblink)\n"
           "  --count N                  number of instruments (1..4, default 1)\n"
           "  --device K                 the options that follow apply to instrument K only\n"
           "  --model 0..5               200, 100, 60, 20, 40, 150 MHz model (default 0)\n"
           "  --variant 51|52            instrument variant (default 51)\n"
           "  --id B5,B6,B7,B8,B9        identification bytes (default from the device number)\n"
           "  --frame 6147|5003          size of block data packets (default 6147)\n"
           "  --signal-a SIGNAL          channel A input, KIND:FREQ_HZ:AMPLITUDE_V[:OFFSET_V],\n"
           "  --signal-b SIGNAL            KIND = sine, square, triangle, dc, noise\n"
           "  --logic-a PAT, --logic-b PAT  logic input: clock:FREQ, counter:FREQ, uart:BAUD:TEXT, analog\n"
           "  --logic-threshold V        threshold for analog logic inputs (default 0)\n"
           "  --seed N                   noise seed (default 1)\n"
           "  --noise CODES              sample noise half-width in raw codes (default 1, 0 = none)\n"
           "  --virtual-clock            produce packets on demand instead of by wall time\n"
           "  --log-registers FILE       one line per register write: SECONDS REGISTER VALUE\n"
           "  --unplug-after S           unplug S seconds after start\n"
           "  --replug-after S           plug in again S seconds after the unplug\n"
           "  --garbage-every N          random bytes before every N-th packet\n"
           "  --bad-length-every N       every N-th data packet has a wrong length field\n"
           "  --channel-fault a|b:dead|saturated  a channel stuck at 0 or 255\n"
           "  --drop-calibration-frame N the N-th calibration request gets no frame\n"
           "  --quiet                    no messages on standard error\n";
}

ParseResult parse_options(const std::vector<std::string>& raw_args) {
    ParseResult r;
    // Split "--name=value" and pair every option with its value.
    std::vector<std::pair<std::string, std::string>> opts;
    for (std::size_t i = 0; i < raw_args.size(); ++i) {
        std::string name = raw_args[i], value;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        } else if (!is_flag(name)) {
            if (i + 1 >= raw_args.size()) {
                r.ok = false;
                r.error = "option " + name + " needs a value";
                return r;
            }
            value = raw_args[++i];
        }
        opts.emplace_back(name, value);
    }
    int count = 1;
    for (const auto& [name, value] : opts) {
        if (name != "--count") continue;
        auto n = integer(value);
        if (!n || *n < 1 || *n > 4) {
            r.ok = false;
            r.error = "--count must be 1..4";
            return r;
        }
        count = int(*n);
    }
    auto& o = r.options;
    o.devices.assign(std::size_t(count), DeviceOptions{});
    for (int k = 0; k < count; ++k) o.devices[std::size_t(k)].instrument.id = default_id(k);

    int target = -1;
    auto fail = [&](const std::string& msg) {
        r.ok = false;
        r.error = msg;
        return r;
    };
    auto each = [&](const std::function<void(DeviceOptions&)>& f) {
        for (int k = 0; k < count; ++k)
            if (target < 0 || target == k) f(o.devices[std::size_t(k)]);
    };
    for (const auto& [name, value] : opts) {
        std::string err;
        if (name == "--help" || name == "-h") r.help = true;
        else if (name == "--count") {}
        else if (name == "--quiet") o.quiet = true;
        else if (name == "--virtual-clock") o.virtual_clock = true;
        else if (name == "--dir") o.dir = value;
        else if (name == "--log-registers") o.log_registers = value;
        else if (name == "--device") {
            auto n = integer(value);
            if (!n || *n < 0 || *n >= count) return fail("--device must name an instrument 0.." + std::to_string(count - 1));
            target = int(*n);
        } else if (name == "--model") {
            auto n = integer(value);
            if (!n || *n < 0 || *n > 5) return fail("--model must be 0..5");
            each([&](DeviceOptions& d) { d.instrument.model = int(*n); });
        } else if (name == "--variant") {
            auto n = integer(value);
            if (!n || (*n != 51 && *n != 52)) return fail("--variant must be 51 or 52");
            each([&](DeviceOptions& d) { d.instrument.variant = int(*n); });
        } else if (name == "--id") {
            std::array<uint8_t, 5> id{};
            std::size_t at = 0;
            std::string rest = value + ",";
            for (int i = 0; i < 5; ++i) {
                auto comma = rest.find(',', at);
                if (comma == std::string::npos) return fail("--id needs five numbers 0..255");
                auto n = integer(rest.substr(at, comma - at));
                if (!n || *n < 0 || *n > 255) return fail("--id needs five numbers 0..255");
                id[std::size_t(i)] = uint8_t(*n);
                at = comma + 1;
            }
            if (at != rest.size()) return fail("--id needs five numbers 0..255");
            each([&](DeviceOptions& d) {
                d.instrument.id = id;
                d.id_given = true;
            });
        } else if (name == "--frame") {
            auto n = integer(value);
            if (!n || (*n != 6147 && *n != 5003)) return fail("--frame must be 6147 or 5003");
            each([&](DeviceOptions& d) { d.instrument.frame_bytes = int(*n); });
        } else if (name == "--signal-a" || name == "--signal-b") {
            auto s = parse_signal(value, &err);
            if (!s) return fail(err);
            std::size_t ch = name.back() == 'a' ? 0 : 1;
            each([&](DeviceOptions& d) { d.instrument.signal[ch] = *s; });
        } else if (name == "--logic-a" || name == "--logic-b") {
            auto s = parse_logic(value, &err);
            if (!s) return fail(err);
            std::size_t ch = name.back() == 'a' ? 0 : 1;
            each([&](DeviceOptions& d) { d.instrument.logic[ch] = *s; });
        } else if (name == "--logic-threshold") {
            auto v = real(value);
            if (!v) return fail("--logic-threshold needs a number of volts");
            each([&](DeviceOptions& d) { d.instrument.logic_threshold_v = *v; });
        } else if (name == "--seed") {
            auto n = integer(value);
            if (!n) return fail("--seed needs a number");
            each([&](DeviceOptions& d) { d.instrument.seed = uint64_t(*n); });
        } else if (name == "--noise") {
            auto v = real(value);
            if (!v || *v < 0 || *v > 50) return fail("--noise must be 0..50 codes");
            each([&](DeviceOptions& d) { d.instrument.noise_codes = *v; });
        } else if (name == "--unplug-after" || name == "--replug-after") {
            auto v = real(value);
            if (!v || *v < 0) return fail(name + " needs seconds");
            bool unplug = name == "--unplug-after";
            each([&](DeviceOptions& d) { (unplug ? d.unplug_after_s : d.replug_after_s) = *v; });
        } else if (name == "--garbage-every" || name == "--bad-length-every" || name == "--drop-calibration-frame") {
            auto n = integer(value);
            if (!n || *n < 1) return fail(name + " needs a count of at least 1");
            const int which = name == "--garbage-every" ? 0 : (name == "--bad-length-every" ? 1 : 2);
            each([&](DeviceOptions& d) {
                int& field = which == 0 ? d.instrument.garbage_every
                                        : (which == 1 ? d.instrument.bad_length_every : d.instrument.drop_calibration_frame);
                field = int(*n);
            });
        } else if (name == "--channel-fault") {
            ChannelFault f;
            if (value.size() < 3 || (value[0] != 'a' && value[0] != 'b') || value[1] != ':') return fail("--channel-fault must be a|b:dead|saturated");
            std::string kind = value.substr(2);
            if (kind == "dead") f = ChannelFault::Dead;
            else if (kind == "saturated") f = ChannelFault::Saturated;
            else return fail("--channel-fault must be a|b:dead|saturated");
            std::size_t ch = value[0] == 'a' ? 0 : 1;
            each([&](DeviceOptions& d) { d.instrument.channel_fault[ch] = f; });
        } else {
            return fail("unknown option " + name);
        }
    }
    return r;
}

} // namespace orv::sim
