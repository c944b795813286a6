// SPDX-License-Identifier: MIT
// The simulated RTM5800 instrument, independent of any transport: the host's bytes go in through
// write(), the instrument's packets come out of a bounded receive queue through read(), and time
// moves only when the owner calls advance_to() (wall time in the service, a virtual clock in
// tests). Not thread-safe: one owner drives it.
#pragma once

#include "sim/signal.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace orv::sim {

enum class ChannelFault { None, Dead, Saturated };

struct InstrumentConfig {
    int model = 0;                               // 0..5
    int variant = 51;                            // 51 or 52
    std::array<uint8_t, 5> id{3, 1, 4, 1, 5};    // identification bytes of the information packet
    int frame_bytes = 6147;                      // scope block packets: 6147 or 5003
    // Large enough to cross the centre at the application's start-up range of 5 V/div.
    std::array<SignalSpec, 2> signal{SignalSpec{SignalKind::Sine, 1000.0, 3.0, 0.0},
                                     SignalSpec{SignalKind::Square, 500.0, 1.5, 0.0}};
    std::array<LogicSpec, 2> logic{};            // Analog: the signal against logic_threshold_v
    double logic_threshold_v = 0.0;
    uint64_t seed = 1;
    double noise_codes = 1.0;                    // half-width of the sample noise in raw codes
    std::size_t queue_capacity = 65536;          // the driver's receive buffer
    // Fault injection (0 = off).
    int garbage_every = 0;                       // random bytes before every N-th packet
    int bad_length_every = 0;                    // every N-th data packet claims one byte more
    std::array<ChannelFault, 2> channel_fault{ChannelFault::None, ChannelFault::None};
    int drop_calibration_frame = 0;              // the N-th calibration request gets no frame
};

// The front end of one channel as the relay bytes (registers 160 / 161) select it.
struct ChannelFrontEnd {
    int volt_div_index = 7;
    double volts_per_div = 1.0;
    int gain_stage = 0;
    bool dc = false;
};
ChannelFrontEnd decode_front_end(uint8_t relay_a, uint8_t relay_b, int channel);

// Base clock of a model in Hz; block / stream sample rate of a time-base code (code 0 runs at
// twice the base clock); the logic clock of a code (50 MHz / code, code 0 = 100 MS/s).
double base_clock_hz(int model);
double scope_rate(int model, int code);
double logic_rate(int code);

inline constexpr uint8_t kInfoPacketType = 67;
inline constexpr uint8_t kDataPacketType = 223;
inline constexpr int kStreamPacketBytes = 5003;
inline constexpr int kLogicPacketBytes = 6147;

class Instrument {
public:
    explicit Instrument(const InstrumentConfig& config = {});
    ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    const InstrumentConfig& config() const;

    // Host side.
    void write(std::span<const uint8_t> bytes);
    std::size_t read(uint8_t* dst, std::size_t max);
    std::size_t queued() const;
    // Purge of the receive buffer (mask bit 1) or the transmit side (bit 2). Either one makes the
    // next complete command answer with an information packet.
    void purge(uint32_t mask);

    // Time, in seconds since power-on.
    double now() const;
    void advance_to(double t);
    // The time at which the next packet is due, searching the signal up to `horizon` seconds
    // ahead; negative when nothing is due in that span (stopped, waiting for queue room, or no
    // trigger).
    double next_packet_time(double horizon) const;
    // Virtual clock: jump to the next packet (at most `horizon` seconds ahead) and produce it.
    // False when nothing was due.
    bool step(double horizon = 1.0);

    // Unplug and replug: every register back to 0, queue emptied, acquisition stopped, the
    // clock back to 0.
    void power_cycle();

    uint8_t reg(int index) const;
    ChannelFrontEnd front_end(int channel) const;
    int dac_code(int channel) const;       // the code in force (latched by the write of 162/163)
    double zero_level(int channel) const;  // raw level of a grounded input, before rounding
    double sample_rate() const;            // of the acquisition in progress; 0 when stopped
    bool logic_mode() const;
    int run_code() const;                  // what acquisition is doing: 0 when stopped
    uint64_t dropped_packets() const;
    uint64_t packets_sent() const;

    // Called for every register write: (seconds, register, value).
    void on_register(std::function<void(double, int, int)> callback);
    // Called whenever a packet had to be dropped: (seconds, total dropped so far).
    void on_drop(std::function<void(double, uint64_t)> callback);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace orv::sim
