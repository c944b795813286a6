// SPDX-License-Identifier: MIT
// What the simulated instrument sees at its two inputs: an analogue signal per channel (volts at
// the BNC, probe factors are the application's business) and, for logic mode, a digital pattern
// or the analogue signal against a threshold.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv::sim {

enum class SignalKind { Sine, Square, Triangle, Dc, Noise };

struct SignalSpec {
    SignalKind kind = SignalKind::Sine;
    double frequency_hz = 1000.0;
    double amplitude_v = 1.0; // volts peak; for dc the level
    double offset_v = 0.0;

    // Volts at time t. `noise_key` makes the noise kind a pure function of the caller's sample.
    double volts(double t, uint64_t noise_key) const;
    // The signal's mean, which AC coupling removes.
    double mean() const;
    // Smallest and largest value the signal can take (for the trigger's coarse scan).
    double lowest() const;
    double highest() const;
    // Seconds per period, 0 when the signal has none.
    double period() const;
};

// "KIND:FREQ_HZ:AMPLITUDE_V[:OFFSET_V]". nullopt (and *error) when malformed.
std::optional<SignalSpec> parse_signal(std::string_view text, std::string* error = nullptr);
std::string to_string(const SignalSpec& s);

enum class LogicKind { Analog, Clock, Counter, Uart };

struct LogicSpec {
    LogicKind kind = LogicKind::Analog;
    double frequency_hz = 0.0; // clock and counter: bits per second; uart: baud
    std::string text;          // uart: the bytes sent, repeated
    // The level of the pattern at time t (for Analog the caller compares the signal).
    bool level(double t) const;
    double period() const;
};

// "clock:FREQ", "counter:FREQ" (an incrementing byte, MSB first, one bit per clock period and
// stable at the clock's rising edges), "uart:BAUD:TEXT" (8N1, idle high, one idle character
// between characters), "analog" (the channel's signal against the logic threshold).
std::optional<LogicSpec> parse_logic(std::string_view text, std::string* error = nullptr);

// A well-mixed 64-bit hash: the noise of sample n is a pure function of (seed, channel, n), so a
// trigger search and the frame it leads to see the very same codes.
constexpr uint64_t mix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}
// Uniform in [0, 1).
constexpr double unit_from(uint64_t h) { return static_cast<double>(h >> 11) * 0x1.0p-53; }

} // namespace orv::sim
