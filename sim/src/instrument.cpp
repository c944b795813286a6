// SPDX-License-Identifier: MIT
#include "sim/instrument.h"

#include "core/calibration/nominal_offset_dac.h"
#include "core/scope/front_end.h"
#include "core/scope/tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace orv::sim {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kAutoTimeout = 0.1; // Auto free-runs when no trigger came within this time
constexpr double kInfoInterval = 1.0;
constexpr double kHighExtStep = 1e-8; // the instrument samples its external clock at 100 MHz
constexpr int64_t kSearchChunk = 8'000'000;

enum class Acq { Idle, Block, Stream, Calibration };

// Several raw codes of deviation at positions +100 and -100 (raw 27 and 227), different for
// every unit, channel and gain stage but not for the attenuator, so the decade copies that the
// calibration makes stay right.
struct Deviation {
    double at27 = 0.0, at227 = 0.0;
    double operator()(double raw) const { return at27 + (at227 - at27) * (raw - 27.0) / 200.0; }
};

Deviation unit_deviation(const std::array<uint8_t, 5>& id, int channel, int stage) {
    uint64_t key = 0;
    for (uint8_t b : id) key = key << 8 | b;
    auto pick = [&](uint64_t salt) {
        uint64_t h = mix64(key ^ (uint64_t(channel) << 44) ^ (uint64_t(stage) << 52) ^ salt);
        double magnitude = 3.0 + 4.0 * unit_from(h); // 3..7 codes
        return (h & 1) ? magnitude : -magnitude;
    };
    return {pick(0x51A7), pick(0xB0D5)};
}

} // namespace

double base_clock_hz(int model) {
    static constexpr double clocks[6] = {100e6, 50e6, 30e6, 10e6, 20e6, 75e6};
    return clocks[(model >= 0 && model < 6) ? model : 2];
}
double scope_rate(int model, int code) {
    return code <= 0 ? 2.0 * base_clock_hz(model) : base_clock_hz(model) / code;
}
double logic_rate(int code) { return code <= 0 ? 100e6 : 50e6 / code; }

ChannelFrontEnd decode_front_end(uint8_t relay_a, uint8_t relay_b, int channel) {
    ChannelFrontEnd fe;
    uint8_t att, gain;
    if (channel == 0) {
        att = relay_a & uint8_t(~kKeepAttenuatorA);
        gain = relay_b & 0x03; // bits 2-5 of relay byte B belong to neither gain field
        fe.dc = relay_a & kCouplingBitA;
        fe.gain_stage = gain == 3 ? 0 : gain;
    } else {
        att = relay_a & uint8_t(~kKeepAttenuatorB);
        gain = relay_b & 0xC0;
        fe.dc = relay_a & kCouplingBitB;
        fe.gain_stage = gain == 0x80 ? 1 : (gain == 0x40 ? 2 : 0);
    }
    const auto& atts = channel == 0 ? kAttenuatorA : kAttenuatorB;
    const auto& gains = channel == 0 ? kGainA : kGainB;
    for (std::size_t i = 0; i < atts.size(); ++i) {
        if (atts[i] == att && gains[i] == gain) {
            fe.volt_div_index = int(i);
            break;
        }
    }
    // A relay combination no range uses reads as the spare range 7 (1 V/div).
    fe.volts_per_div = volts_per_div(fe.volt_div_index);
    return fe;
}

struct Instrument::Impl {
    InstrumentConfig cfg;
    std::array<std::array<Deviation, calibration::kGainStages>, 2> deviation{};

    std::array<uint8_t, 256> regs{};
    std::array<uint8_t, 4> part{};
    int have = 0;
    bool info_after_command = false;
    std::array<int, 2> dac{0, 0};

    std::vector<uint8_t> queue;
    std::size_t head = 0, count = 0;

    double now = 0.0;
    Acq acq = Acq::Idle;
    int run = 0;
    bool logic = false;
    bool high_ext = false;
    double rate = 0.0;
    double t_epoch = 0.0;
    uint64_t epoch = 0;
    double next_info = kInf;

    // Block and calibration capture in progress.
    bool capturing = false;
    int64_t cap_start = 0;
    int64_t search_from = 0;
    int64_t giveup = 0;
    int64_t pre = 0;     // samples from the frame start to the trigger sample
    bool frame_known = false;
    int64_t frame_start = 0;
    int cal_pending = 0;
    uint64_t cal_requests = 0;
    // Streaming.
    int64_t stream_index = 0;

    // "High Ext." logic: times of channel A's enabling edges, sample n = edge n of the epoch.
    std::vector<double> edges;
    int64_t edge_base = 0;
    double edge_scanned = 0.0;
    bool edge_level = false;

    uint64_t dropped = 0;
    uint64_t sent = 0;
    uint64_t data_sent = 0;
    uint64_t garbage_state = 0;
    std::vector<uint8_t> packet;

    std::function<void(double, int, int)> register_cb;
    std::function<void(double, uint64_t)> drop_cb;

    explicit Impl(const InstrumentConfig& c) : cfg(c) {
        for (int ch = 0; ch < 2; ++ch)
            for (int s = 0; s < calibration::kGainStages; ++s) deviation[ch][s] = unit_deviation(cfg.id, ch, s);
        queue.assign(std::max<std::size_t>(cfg.queue_capacity, 16), 0);
        packet.reserve(8192);
        garbage_state = cfg.seed ^ 0x6A5D;
    }

    // ---- receive queue ----------------------------------------------------------------------
    std::size_t room() const { return queue.size() - count; }
    void push_raw(const uint8_t* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) queue[(head + count + i) % queue.size()] = p[i];
        count += n;
    }
    void drop_packet() {
        ++dropped;
        if (drop_cb) drop_cb(now, dropped);
    }
    // Whole packets only: a packet that does not fit is dropped and counted.
    void push_packet(bool data) {
        ++sent;
        if (cfg.garbage_every > 0 && sent % uint64_t(cfg.garbage_every) == 0) {
            garbage_state = mix64(garbage_state);
            uint8_t junk[16];
            std::size_t n = 1 + garbage_state % 15;
            for (std::size_t i = 0; i < n; ++i) junk[i] = uint8_t(mix64(garbage_state + i));
            if (room() >= n + packet.size()) push_raw(junk, n);
        }
        if (data) ++data_sent;
        if (data && cfg.bad_length_every > 0 && data_sent % uint64_t(cfg.bad_length_every) == 0) {
            uint16_t wrong = uint16_t(packet.size() + 1);
            packet[0] = uint8_t(wrong & 0xFF);
            packet[1] = uint8_t(wrong >> 8);
        }
        if (room() < packet.size()) {
            drop_packet();
            return;
        }
        push_raw(packet.data(), packet.size());
    }
    void begin_packet(std::size_t length, uint8_t type) {
        packet.resize(length);
        packet[0] = uint8_t(length & 0xFF);
        packet[1] = uint8_t(length >> 8);
        packet[2] = type;
    }
    void push_info() {
        begin_packet(10, kInfoPacketType);
        packet[3] = uint8_t(cfg.variant);
        packet[4] = uint8_t(cfg.model);
        std::copy(cfg.id.begin(), cfg.id.end(), packet.begin() + 5);
        push_packet(false);
    }

    // ---- front end and samples --------------------------------------------------------------
    ChannelFrontEnd front_end(int ch) const { return decode_front_end(regs[160], regs[161], ch); }
    double zero_level(int ch) const {
        auto fe = front_end(ch);
        double nominal = calibration::nominal_zero_raw(fe.gain_stage, dac[std::size_t(ch)]);
        return nominal + deviation[std::size_t(ch)][std::size_t(fe.gain_stage)](nominal);
    }
    bool grounded() const { return regs[156] == 3; }
    uint64_t sample_key(int ch, int64_t n) const {
        return mix64(cfg.seed ^ (epoch << 40) ^ (uint64_t(ch) << 62)) ^ uint64_t(n);
    }
    double t_of(int64_t n) const {
        if (high_ext) return edge_time(n);
        return t_epoch + double(n) / rate;
    }
    int64_t n_at(double t) const {
        if (t <= t_epoch) return -1;
        return int64_t(std::floor((t - t_epoch) * rate));
    }
    // Per-channel constants of the sample formula, rebuilt after any register write.
    struct Channel {
        double zero = 0.0, counts_per_volt = 25.0, shift = 0.0;
    };
    mutable std::array<Channel, 2> chan{};
    mutable bool chan_dirty = true;
    const Channel& channel(int ch) const {
        if (chan_dirty) {
            for (int c = 0; c < 2; ++c) {
                auto fe = front_end(c);
                auto& k = chan[std::size_t(c)];
                k.zero = zero_level(c);
                k.counts_per_volt = 25.0 / fe.volts_per_div;
                k.shift = fe.dc ? 0.0 : cfg.signal[std::size_t(c)].mean();
            }
            chan_dirty = false;
        }
        return chan[std::size_t(ch)];
    }
    // Noiseless code, before clipping.
    double ideal(int ch, int64_t n) const {
        const auto& k = channel(ch);
        if (grounded()) return k.zero;
        double v = cfg.signal[std::size_t(ch)].volts(t_of(n), sample_key(ch, n) ^ 0x5EED) - k.shift;
        return k.zero - v * k.counts_per_volt;
    }
    uint8_t raw(int ch, int64_t n) const {
        switch (cfg.channel_fault[std::size_t(ch)]) {
        case ChannelFault::Dead: return 0;
        case ChannelFault::Saturated: return 255;
        case ChannelFault::None: break;
        }
        double noise = 0.0;
        if (cfg.noise_codes > 0.0) {
            uint64_t h = mix64(sample_key(ch, n));
            // Triangular distribution: most samples sit on the ideal code, a few one off.
            noise = (unit_from(h) + unit_from(mix64(h)) - 1.0) * cfg.noise_codes;
        }
        double c = std::round(ideal(ch, n) + noise);
        return uint8_t(std::clamp(c, 0.0, 255.0));
    }

    bool logic_bit(int ch, int64_t n) const {
        double t = t_of(n);
        const auto& l = cfg.logic[std::size_t(ch)];
        if (l.kind != LogicKind::Analog) return l.level(t);
        return cfg.signal[std::size_t(ch)].volts(t, sample_key(ch, n) ^ 0x5EED) > cfg.logic_threshold_v;
    }

    // ---- "High Ext." sampling ---------------------------------------------------------------
    bool enabling(bool before, bool after) const {
        switch ((regs[170] >> 6) & 3) {
        case 0: return !before && after;
        case 1: return before && !after;
        default: return before != after;
        }
    }
    double clock_level_at(double t) const {
        const auto& l = cfg.logic[0];
        if (l.kind != LogicKind::Analog) return l.level(t);
        return cfg.signal[0].volts(t, uint64_t(t * 1e9)) > cfg.logic_threshold_v;
    }
    // Finds edges up to time `until` (bounded work per call).
    void scan_edges(double until) {
        double period = cfg.logic[0].kind != LogicKind::Analog ? cfg.logic[0].period() : cfg.signal[0].period();
        // A clock without a period (an analogue input) is followed at 1 us.
        double step = period > 0.0 ? std::max(kHighExtStep, period / 64.0) : 1e-6;
        for (int i = 0; i < 4'000'000 && edge_scanned < until; ++i) {
            edge_scanned += step;
            bool level = clock_level_at(edge_scanned);
            if (enabling(edge_level, level)) edges.push_back(edge_scanned);
            edge_level = level;
        }
    }
    double edge_time(int64_t n) const {
        auto* self = const_cast<Impl*>(this);
        // Bounded work per call: an input that never clocks leaves the sample in the future.
        for (int i = 0; n - edge_base >= int64_t(edges.size()); ++i) {
            if (i == 8) return kInf;
            self->scan_edges(edge_scanned + 0.05);
        }
        if (n < edge_base) return t_epoch;
        return edges[std::size_t(n - edge_base)];
    }
    void trim_edges(int64_t keep_from) {
        if (keep_from <= edge_base) return;
        auto drop = std::min<std::size_t>(edges.size(), std::size_t(keep_from - edge_base));
        edges.erase(edges.begin(), edges.begin() + std::ptrdiff_t(drop));
        edge_base += int64_t(drop);
    }
    int64_t high_ext_count_until(double t) {
        scan_edges(t);
        auto it = std::upper_bound(edges.begin(), edges.end(), t);
        return edge_base + int64_t(it - edges.begin()) - 1;
    }
    int64_t samples_until(double t) {
        if (high_ext) return high_ext_count_until(t);
        return n_at(t);
    }

    // ---- frames -----------------------------------------------------------------------------
    int pairs() const { return logic ? (kLogicPacketBytes - 3) / 2 : (cfg.frame_bytes - 3) / 2; }
    int64_t frame_samples() const { return logic ? int64_t(pairs()) * 8 : pairs(); }

    void build_scope(int64_t n0, int npairs, std::size_t length) {
        begin_packet(length, kDataPacketType);
        for (int i = 0; i < npairs; ++i) {
            packet[3 + 2 * std::size_t(i)] = raw(0, n0 + i);
            packet[4 + 2 * std::size_t(i)] = raw(1, n0 + i);
        }
    }
    void build_logic(int64_t n0) {
        begin_packet(kLogicPacketBytes, kDataPacketType);
        int npairs = (kLogicPacketBytes - 3) / 2;
        for (int k = 0; k < npairs; ++k) {
            uint8_t a = 0, b = 0;
            for (int j = 0; j < 8; ++j) {
                int64_t n = n0 + 8 * int64_t(k) + j;
                a = uint8_t(a << 1 | logic_bit(0, n));
                b = uint8_t(b << 1 | logic_bit(1, n));
            }
            packet[3 + 2 * std::size_t(k)] = a;
            packet[4 + 2 * std::size_t(k)] = b;
        }
    }
    void build_block(int64_t n0) {
        if (logic) build_logic(n0);
        else build_scope(n0, pairs(), std::size_t(cfg.frame_bytes));
    }
    std::size_t block_bytes() const { return logic ? kLogicPacketBytes : std::size_t(cfg.frame_bytes); }

    // ---- trigger ----------------------------------------------------------------------------
    // Scope: the six raw-code tests on the sample pair n and its predecessor.
    std::optional<int64_t> find_scope_trigger(int64_t from, int64_t to) const {
        int code = regs[155];
        if (code > 5 || from > to) return std::nullopt;
        const int ch = code & 1;
        const int kind = code >> 1; // 0 falling, 1 rising, 2 level
        const int L = regs[152];
        auto hit = [&](int cur, int prev) {
            switch (kind) {
            case 0: return cur >= L && prev < L;
            case 1: return cur <= L && prev > L;
            default: return cur == L;
            }
        };
        if (cfg.channel_fault[std::size_t(ch)] != ChannelFault::None) {
            int c = raw(ch, from);
            return hit(c, c) ? std::optional<int64_t>(from) : std::nullopt;
        }
        // Coarse scan of the noiseless codes; only stretches that can cross L are looked at
        // sample by sample, so a trigger that never comes costs little.
        const auto& s = cfg.signal[std::size_t(ch)];
        const double margin = cfg.noise_codes + 0.5; // noise, then rounding
        const bool noise_kind = !grounded() && s.kind == SignalKind::Noise;
        const bool flat = grounded() || s.kind == SignalKind::Dc || s.period() <= 0.0;
        const int64_t period = flat ? 0 : std::max<int64_t>(1, int64_t(s.period() * rate));
        int64_t stride = flat ? std::max<int64_t>(1, to - from + 1) : std::max<int64_t>(1, period / 256);
        double lo_all = 0, hi_all = 0;
        if (noise_kind) {
            const auto& k = channel(ch);
            lo_all = k.zero - (s.highest() - k.shift) * k.counts_per_volt;
            hi_all = k.zero - (s.lowest() - k.shift) * k.counts_per_volt;
        }
        // Can codes within [lo, hi] (already clipped) pass this test somewhere?
        auto possible = [&](double lo, double hi) {
            switch (kind) {
            case 0: return lo < L && hi >= L;   // some sample below L, a later one at or above
            case 1: return hi > L && lo <= L;
            default: return lo <= L && hi >= L;
            }
        };
        int64_t since_candidate = 0;
        for (int64_t k = from - 1; k < to; ) {
            int64_t k2 = std::min(k + stride, to);
            double lo, hi;
            if (noise_kind) {
                lo = lo_all;
                hi = hi_all;
            } else {
                double a = ideal(ch, k), b = ideal(ch, k2);
                lo = std::min(a, b);
                hi = std::max(a, b);
            }
            lo = std::clamp(std::round(lo - margin), 0.0, 255.0);
            hi = std::clamp(std::round(hi + margin), 0.0, 255.0);
            if (possible(lo, hi)) {
                since_candidate = 0;
                int prev = raw(ch, std::max(k, from - 1));
                for (int64_t n = std::max(k + 1, from); n <= k2; ++n) {
                    int cur = raw(ch, n);
                    if (hit(cur, prev)) return n;
                    prev = cur;
                }
            } else if (period > 0 && (since_candidate += k2 - k) > 2 * period + stride) {
                return std::nullopt; // two whole periods without a chance: it repeats for ever
            }
            k = k2;
        }
        return std::nullopt;
    }
    // Logic: the 8-sample window ending at sample n of the trigger channel matches the pattern.
    std::optional<int64_t> find_logic_trigger(int64_t from, int64_t to) const {
        const int ch = (regs[170] & 0x0C) ? 1 : 0; // external clock or source B: channel B
        const uint8_t mask = regs[172], value = regs[171];
        if (from > to) return std::nullopt;
        if ((value & ~mask) != 0) return std::nullopt; // can never match
        unsigned window = 0;
        for (int64_t n = from - 7; n <= to; ++n) {
            window = (window << 1 | unsigned(logic_bit(ch, n))) & 0xFF;
            if (n >= from && (window & mask) == value) return n;
        }
        return std::nullopt;
    }

    // ---- acquisition ------------------------------------------------------------------------
    void new_epoch(bool logic_now) {
        ++epoch;
        logic = logic_now;
        high_ext = logic && (regs[170] & 0x04);
        int code = regs[153] | regs[154] << 8;
        rate = logic ? logic_rate(code) : scope_rate(cfg.model, code);
        t_epoch = now;
        capturing = false;
        frame_known = false;
        stream_index = 0;
        edges.clear();
        edge_base = 0;
        edge_scanned = now;
        edge_level = high_ext ? clock_level_at(now) : false;
        next_info = now + kInfoInterval;
    }
    void stop() {
        acq = Acq::Idle;
        run = 0;
        capturing = false;
        cal_pending = 0;
        next_info = kInf;
    }
    void on_run(int v) {
        const bool logic_now = regs[170] != 0;
        switch (v) {
        case 1: case 2: case 3: case 4:
            new_epoch(logic_now);
            acq = Acq::Block;
            run = v;
            break;
        case 5:
            new_epoch(logic_now);
            acq = Acq::Stream;
            run = v;
            break;
        case 6:
            if (acq != Acq::Calibration) {
                new_epoch(false);
                acq = Acq::Calibration;
                run = v;
                cal_pending = 0;
            }
            ++cal_requests;
            if (cfg.drop_calibration_frame <= 0 || cal_requests != uint64_t(cfg.drop_calibration_frame))
                ++cal_pending;
            break;
        default: stop(); break;
        }
    }

    void start_capture() {
        capturing = true;
        frame_known = false;
        cap_start = samples_until(now) + 1;
        if (high_ext) trim_edges(cap_start - 8);
        if (acq == Acq::Calibration || run == 4) {
            frame_known = true;
            frame_start = cap_start;
            return;
        }
        if (logic) {
            int m = regs[166] | regs[167] << 8;
            int byte = std::clamp(m - 2, 0, pairs() - 1);
            pre = 8 * int64_t(byte) + 7; // the matching window fills byte m - 2
        } else {
            int p = regs[166] | regs[167] << 8;
            pre = std::clamp(p, 1, pairs() - 1);
        }
        search_from = cap_start + pre;
        giveup = run == 1 ? search_from + std::max<int64_t>(1, int64_t(kAutoTimeout * rate)) : -1;
    }
    // Searches the trigger up to sample `limit`; true when the frame's place is known.
    bool settle_frame(int64_t limit) {
        if (frame_known) return true;
        int64_t to = limit;
        if (giveup >= 0) to = std::min(to, giveup);
        // In chunks, so one call never spends long on a trigger that does not come; the search
        // goes on from where it stopped.
        for (int chunk = 0; chunk < 4 && to >= search_from; ++chunk) {
            int64_t end = std::min(to, search_from + kSearchChunk - 1);
            auto hit = logic ? find_logic_trigger(search_from, end) : find_scope_trigger(search_from, end);
            if (hit) {
                frame_known = true;
                frame_start = *hit - pre;
                return true;
            }
            search_from = end + 1;
            if (high_ext) trim_edges(search_from - pre - 8);
        }
        if (giveup >= 0 && search_from > giveup) {
            frame_known = true;
            frame_start = giveup;
        }
        return frame_known;
    }

    enum class Event { None, Info, Frame, Stream };
    // The next event not later than `horizon`.
    Event next_event(double horizon, double& when) {
        when = kInf;
        Event ev = Event::None;
        double t = kInf;
        switch (acq) {
        case Acq::Idle: break;
        case Acq::Block:
        case Acq::Calibration:
            if (acq == Acq::Calibration && cal_pending == 0) break;
            if (!capturing) {
                // Flow control: the capture starts only when its whole packet fits.
                if (room() < block_bytes()) break;
                start_capture();
            }
            if (settle_frame(samples_until(horizon))) t = t_of(frame_start + frame_samples());
            break;
        case Acq::Stream: {
            int64_t per = logic ? int64_t(pairs()) * 8 : (kStreamPacketBytes - 3) / 2;
            t = t_of((stream_index + 1) * per);
            break;
        }
        }
        if (t <= horizon) {
            when = t;
            ev = acq == Acq::Stream ? Event::Stream : Event::Frame;
        }
        // The information packet waits for room too, and never takes the room a capture in
        // progress has been promised.
        const std::size_t reserved = capturing ? block_bytes() : 0;
        if (acq != Acq::Idle && next_info <= horizon && next_info < when && room() >= 10 + reserved) {
            when = next_info;
            ev = Event::Info;
        }
        return ev;
    }
    void fire(Event ev) {
        switch (ev) {
        case Event::None: break;
        case Event::Info:
            push_info();
            next_info = std::max(next_info + kInfoInterval, now);
            break;
        case Event::Frame:
            build_block(frame_start);
            push_packet(true);
            capturing = false;
            frame_known = false;
            if (acq == Acq::Calibration) --cal_pending;
            else if (run == 3) stop(); // Single: one frame, then wait for the next run command
            break;
        case Event::Stream: {
            const std::size_t bytes = logic ? kLogicPacketBytes : kStreamPacketBytes;
            if (room() < bytes) {
                // Overflow: the packet is lost whole; no need to build it first.
                ++stream_index;
                drop_packet();
                if (high_ext) trim_edges(stream_index * int64_t(pairs()) * 8 - 8);
                break;
            }
            if (logic) {
                build_logic(stream_index * int64_t(pairs()) * 8);
            } else {
                int per = (kStreamPacketBytes - 3) / 2;
                build_scope(stream_index * per, per, kStreamPacketBytes);
            }
            ++stream_index;
            push_packet(true);
            if (high_ext) trim_edges(stream_index * int64_t(pairs()) * 8 - 8);
            break;
        }
        }
    }
    void advance_to(double t) {
        // A hard cap keeps a caller that jumps far ahead from spinning for ever.
        for (int guard = 0; guard < 100000; ++guard) {
            double when;
            Event ev = next_event(t, when);
            if (ev == Event::None) break;
            now = std::max(now, when);
            fire(ev);
        }
        now = std::max(now, t);
    }

    // ---- commands ---------------------------------------------------------------------------
    void apply(int r, int v) {
        regs[std::size_t(r)] = uint8_t(v);
        chan_dirty = true;
        if (register_cb) register_cb(now, r, v);
        switch (r) {
        case 15: on_run(v); break;
        case 162: dac[0] = (v & 0x0F) << 8 | regs[164]; break; // the sequence nibble is ignored
        case 163: dac[1] = (v & 0x0F) << 8 | regs[165]; break;
        default: break;
        }
        if (info_after_command) {
            info_after_command = false;
            push_info();
        }
    }
    void feed(uint8_t b) {
        const int pos = b >> 6;
        const bool shape_ok = pos == 3 ? (b & 0x30) == 0x20 : (b & 0x30) == 0;
        if (!shape_ok) {
            have = 0;
            return;
        }
        if (pos == 0) {
            part[0] = b;
            have = 1;
            return;
        }
        if (pos != have) {
            have = 0; // out of place: drop the partial command and wait for a first byte
            return;
        }
        part[std::size_t(pos)] = b;
        have = pos + 1;
        if (have == 4) {
            have = 0;
            int value = (part[0] & 0x0F) << 4 | (part[1] & 0x0F);
            int r = (part[3] & 0x0F) << 4 | (part[2] & 0x0F);
            apply(r, value);
        }
    }

    void reset() {
        now = 0.0; // time counts from power-on
        regs.fill(0);
        chan_dirty = true;
        have = 0;
        info_after_command = false;
        dac = {0, 0};
        head = count = 0;
        stop();
        logic = high_ext = false;
        rate = 0.0;
    }
};

Instrument::Instrument(const InstrumentConfig& config) : d_(std::make_unique<Impl>(config)) {}
Instrument::~Instrument() = default;

const InstrumentConfig& Instrument::config() const { return d_->cfg; }

void Instrument::write(std::span<const uint8_t> bytes) {
    for (uint8_t b : bytes) d_->feed(b);
}

std::size_t Instrument::read(uint8_t* dst, std::size_t max) {
    std::size_t n = std::min(max, d_->count);
    for (std::size_t i = 0; i < n; ++i) dst[i] = d_->queue[(d_->head + i) % d_->queue.size()];
    d_->head = (d_->head + n) % d_->queue.size();
    d_->count -= n;
    return n;
}

std::size_t Instrument::queued() const { return d_->count; }

void Instrument::purge(uint32_t mask) {
    if (mask & 1) d_->head = d_->count = 0;
    if (mask & 2) d_->have = 0;
    if (mask & 3) d_->info_after_command = true;
}

double Instrument::now() const { return d_->now; }
void Instrument::advance_to(double t) { d_->advance_to(t); }

double Instrument::next_packet_time(double horizon) const {
    double when;
    auto ev = d_->next_event(d_->now + horizon, when);
    return ev == Impl::Event::None ? -1.0 : when;
}

bool Instrument::step(double horizon) {
    double when;
    auto ev = d_->next_event(d_->now + horizon, when);
    if (ev == Impl::Event::None) return false;
    d_->now = std::max(d_->now, when);
    d_->fire(ev);
    return true;
}

void Instrument::power_cycle() { d_->reset(); }

uint8_t Instrument::reg(int index) const { return d_->regs[std::size_t(index & 0xFF)]; }
ChannelFrontEnd Instrument::front_end(int channel) const { return d_->front_end(channel); }
int Instrument::dac_code(int channel) const { return d_->dac[std::size_t(channel & 1)]; }
double Instrument::zero_level(int channel) const { return d_->zero_level(channel & 1); }
double Instrument::sample_rate() const { return d_->acq == Acq::Idle ? 0.0 : d_->rate; }
bool Instrument::logic_mode() const { return d_->regs[170] != 0; }
int Instrument::run_code() const { return d_->acq == Acq::Idle ? 0 : d_->run; }
uint64_t Instrument::dropped_packets() const { return d_->dropped; }
uint64_t Instrument::packets_sent() const { return d_->sent; }
void Instrument::on_register(std::function<void(double, int, int)> callback) { d_->register_cb = std::move(callback); }
void Instrument::on_drop(std::function<void(double, uint64_t)> callback) { d_->drop_cb = std::move(callback); }

} // namespace orv::sim
