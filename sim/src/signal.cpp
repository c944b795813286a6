// SPDX-License-Identifier: MIT
#include "sim/signal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace orv::sim {
namespace {

std::vector<std::string_view> split(std::string_view text, char sep, std::size_t max_parts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < max_parts) {
        auto at = text.find(sep);
        if (at == std::string_view::npos) break;
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    parts.push_back(text);
    return parts;
}

std::optional<double> number(std::string_view s) {
    if (s.empty()) return std::nullopt;
    std::string copy(s);
    char* end = nullptr;
    double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

double frac(double x) { return x - std::floor(x); }

bool fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

} // namespace

double SignalSpec::volts(double t, uint64_t noise_key) const {
    const double phase = frac(frequency_hz * t);
    switch (kind) {
    case SignalKind::Sine: return offset_v + amplitude_v * std::sin(2.0 * std::numbers::pi * phase);
    case SignalKind::Square: return offset_v + (phase < 0.5 ? amplitude_v : -amplitude_v);
    case SignalKind::Triangle: {
        // Starts at 0 and rises, like the sine.
        double x = frac(phase + 0.25);
        return offset_v + amplitude_v * (x < 0.5 ? 4.0 * x - 1.0 : 3.0 - 4.0 * x);
    }
    case SignalKind::Dc: return offset_v + amplitude_v;
    case SignalKind::Noise: return offset_v + amplitude_v * (2.0 * unit_from(mix64(noise_key)) - 1.0);
    }
    return 0.0;
}

double SignalSpec::mean() const { return kind == SignalKind::Dc ? offset_v + amplitude_v : offset_v; }
double SignalSpec::lowest() const {
    return kind == SignalKind::Dc ? offset_v + amplitude_v : offset_v - std::fabs(amplitude_v);
}
double SignalSpec::highest() const {
    return kind == SignalKind::Dc ? offset_v + amplitude_v : offset_v + std::fabs(amplitude_v);
}
double SignalSpec::period() const {
    if (kind == SignalKind::Dc || kind == SignalKind::Noise || frequency_hz <= 0.0) return 0.0;
    return 1.0 / frequency_hz;
}

std::optional<SignalSpec> parse_signal(std::string_view text, std::string* error) {
    auto parts = split(text, ':', 4);
    if (parts.size() < 3) {
        fail(error, "signal '" + std::string(text) + "': expected KIND:FREQ_HZ:AMPLITUDE_V[:OFFSET_V]");
        return std::nullopt;
    }
    SignalSpec s;
    if (parts[0] == "sine") s.kind = SignalKind::Sine;
    else if (parts[0] == "square") s.kind = SignalKind::Square;
    else if (parts[0] == "triangle") s.kind = SignalKind::Triangle;
    else if (parts[0] == "dc") s.kind = SignalKind::Dc;
    else if (parts[0] == "noise") s.kind = SignalKind::Noise;
    else {
        fail(error, "signal kind '" + std::string(parts[0]) + "' is not one of sine, square, triangle, dc, noise");
        return std::nullopt;
    }
    // A dc level has no frequency; an empty field is allowed there.
    auto f = parts[1].empty() && s.kind == SignalKind::Dc ? std::optional<double>(0.0) : number(parts[1]);
    auto a = number(parts[2]);
    auto o = parts.size() > 3 ? number(parts[3]) : std::optional<double>(0.0);
    if (!f || !a || !o || *f < 0.0 || *f > 1e9 || std::fabs(*a) > 1e4 || std::fabs(*o) > 1e4) {
        fail(error, "signal '" + std::string(text) + "': bad number");
        return std::nullopt;
    }
    s.frequency_hz = *f;
    s.amplitude_v = *a;
    s.offset_v = *o;
    return s;
}

std::string to_string(const SignalSpec& s) {
    static const char* names[] = {"sine", "square", "triangle", "dc", "noise"};
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s:%g:%g:%g", names[static_cast<int>(s.kind)], s.frequency_hz,
                  s.amplitude_v, s.offset_v);
    return buf;
}

bool LogicSpec::level(double t) const {
    if (!std::isfinite(t)) return false;
    switch (kind) {
    case LogicKind::Analog: return false;
    case LogicKind::Clock: return frac(frequency_hz * t) < 0.5;
    case LogicKind::Counter: {
        // The data changes on the clock's falling edge, so a rising edge sees a settled bit.
        auto k = static_cast<int64_t>(std::floor(frequency_hz * t + 0.5));
        if (k < 0) k = 0;
        auto byte = static_cast<uint8_t>(k / 8);
        return (byte >> (7 - k % 8)) & 1;
    }
    case LogicKind::Uart: {
        if (text.empty()) return true;
        auto k = static_cast<int64_t>(std::floor(frequency_hz * t));
        if (k < 0) return true;
        auto slot = k / 20;
        auto pos = k % 20;
        auto byte = static_cast<uint8_t>(text[static_cast<std::size_t>(slot) % text.size()]);
        if (pos == 0) return false;                      // start bit
        if (pos <= 8) return (byte >> (pos - 1)) & 1;    // data, LSB first
        return true;                                     // stop bit and idle
    }
    }
    return false;
}

double LogicSpec::period() const {
    if (kind == LogicKind::Analog || frequency_hz <= 0.0) return 0.0;
    return 1.0 / frequency_hz;
}

std::optional<LogicSpec> parse_logic(std::string_view text, std::string* error) {
    auto parts = split(text, ':', 3);
    LogicSpec s;
    if (parts[0] == "analog" && parts.size() == 1) return s;
    if (parts.size() < 2) {
        fail(error, "logic pattern '" + std::string(text) + "': expected clock:FREQ, counter:FREQ, uart:BAUD:TEXT or analog");
        return std::nullopt;
    }
    auto f = number(parts[1]);
    if (!f || *f <= 0.0 || *f > 1e9) {
        fail(error, "logic pattern '" + std::string(text) + "': bad frequency");
        return std::nullopt;
    }
    s.frequency_hz = *f;
    if (parts[0] == "clock" && parts.size() == 2) s.kind = LogicKind::Clock;
    else if (parts[0] == "counter" && parts.size() == 2) s.kind = LogicKind::Counter;
    else if (parts[0] == "uart" && parts.size() == 3 && !parts[2].empty()) {
        s.kind = LogicKind::Uart;
        if (parts[2].rfind("0x", 0) == 0 || parts[2].rfind("0X", 0) == 0) {
            // Byte values: 0x55,0xAA,13 (any byte, not only printable text).
            for (auto b : split(parts[2], ',', 256)) {
                std::string one(b);
                char* end = nullptr;
                long v = std::strtol(one.c_str(), &end, 0);
                if (one.empty() || *end != '\0' || v < 0 || v > 255) {
                    fail(error, "logic pattern '" + std::string(text) + "': bad byte '" + one + "'");
                    return std::nullopt;
                }
                s.text.push_back(char(v));
            }
        } else {
            s.text = std::string(parts[2]);
        }
    } else {
        fail(error, "logic pattern '" + std::string(text) + "' is not understood");
        return std::nullopt;
    }
    return s;
}

} // namespace orv::sim
