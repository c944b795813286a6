// SPDX-License-Identifier: MIT
// Small host-side helpers for driving an Instrument the way the application does.
#pragma once

#include "core/calibration/nominal_offset_dac.h"
#include "core/scope/front_end.h"
#include "sim/instrument.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace orv::sim::testing {

inline void send(Instrument& in, int reg, int value) {
    const uint8_t b[4] = {uint8_t(value >> 4), uint8_t(0x40 | (value & 0x0F)), uint8_t(0x80 | (reg & 0x0F)),
                          uint8_t(0xE0 | (reg >> 4))};
    in.write(b);
}

inline void send_code(Instrument& in, int code) {
    send(in, 153, code & 0xFF);
    send(in, 154, code >> 8);
}

// The relay bytes the application builds for a volts/div index and coupling of both channels.

// The relay bytes the application builds for a volts/div index and coupling of both channels.
inline std::pair<uint8_t, uint8_t> relay_bytes(int index_a, bool dc_a, int index_b, bool dc_b) {
    auto ia = std::size_t(index_a), ib = std::size_t(index_b);
    uint8_t a = uint8_t(kAttenuatorA[ia] | kAttenuatorB[ib] | (dc_a ? kCouplingBitA : 0) |
                        (dc_b ? kCouplingBitB : 0));
    uint8_t b = uint8_t(kGainA[ia] | kGainB[ib]);
    return {a, b};
}

inline void set_front_end(Instrument& in, int index_a, bool dc_a, int index_b, bool dc_b) {
    auto [a, b] = relay_bytes(index_a, dc_a, index_b, dc_b);
    send(in, 161, 0);
    send(in, 160, a);
    send(in, 161, b);
}

inline void set_dac(Instrument& in, int channel, int code) {
    send(in, channel == 0 ? 164 : 165, code & 0xFF);
    send(in, channel == 0 ? 162 : 163, 0x10 | ((code >> 8) & 0x0F));
}

struct Packet {
    int type = 0;
    std::vector<uint8_t> bytes; // whole packet, header included
    const uint8_t* payload() const { return bytes.data() + 3; }
    std::size_t payload_size() const { return bytes.size() - 3; }
};

// Reads everything queued and cuts it into packets by their length field. Bytes that do not
// form a plausible packet start are collected in *junk.
inline std::vector<Packet> drain(Instrument& in, std::vector<uint8_t>* junk = nullptr) {
    std::vector<uint8_t> all(in.queued());
    all.resize(in.read(all.data(), all.size()));
    std::vector<Packet> out;
    std::size_t i = 0;
    while (i + 3 <= all.size()) {
        std::size_t len = all[i] | std::size_t(all[i + 1]) << 8;
        bool plausible = (len == 10 && all[i + 2] == 67) ||
                         ((len == 6147 || len == 5003) && all[i + 2] == 223);
        if (!plausible || i + len > all.size()) {
            if (junk) junk->push_back(all[i]);
            ++i;
            continue;
        }
        out.push_back({all[i + 2], std::vector<uint8_t>(all.begin() + std::ptrdiff_t(i),
                                                        all.begin() + std::ptrdiff_t(i + len))});
        i += len;
    }
    if (junk) junk->insert(junk->end(), all.begin() + std::ptrdiff_t(i), all.end());
    return out;
}

inline std::vector<Packet> data_packets(const std::vector<Packet>& ps) {
    std::vector<Packet> out;
    for (const auto& p : ps)
        if (p.type == 223) out.push_back(p);
    return out;
}

// Steps the virtual clock until a data packet is out (information packets may come first).
inline std::vector<Packet> step_to_data(Instrument& in, double horizon = 1.0) {
    for (int i = 0; i < 8 && in.step(horizon); ++i) {
        auto ps = data_packets(drain(in));
        if (!ps.empty()) return ps;
    }
    return {};
}

inline double mean_of(const Packet& p, int channel, std::size_t skip_pairs = 0) {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 2 * skip_pairs + std::size_t(channel); i < p.payload_size(); i += 2, ++n) sum += p.payload()[i];
    return n ? sum / double(n) : 0.0;
}

} // namespace orv::sim::testing
