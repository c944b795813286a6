// SPDX-License-Identifier: MIT
// Arbitrary host bytes into the instrument: the command decoder and every register effect must
// hold up, and the receive queue must stay within its bound whatever the registers say.
#include "sim/instrument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    orv::sim::InstrumentConfig cfg;
    cfg.queue_capacity = 16384;
    cfg.logic[1] = orv::sim::LogicSpec{orv::sim::LogicKind::Uart, 115200.0, "U"};
    orv::sim::Instrument in(cfg);
    std::vector<uint8_t> sink(4096);
    // Odd first byte: the rest is (register, value) pairs sent as well-formed commands, which
    // reaches deep register states; even: raw bytes for the decoder.
    const bool pairs = data[0] & 1;
    std::size_t at = 1;
    double t = 0.0;
    while (at < size) {
        if (pairs) {
            if (at + 1 >= size) break;
            uint8_t reg = data[at], value = data[at + 1];
            const uint8_t cmd[4] = {uint8_t(value >> 4), uint8_t(0x40 | (value & 15)), uint8_t(0x80 | (reg & 15)),
                                    uint8_t(0xE0 | (reg >> 4))};
            in.write(cmd);
            at += 2;
        } else {
            std::size_t n = std::min<std::size_t>(size - at, 1 + data[at] % 32);
            in.write(std::span<const uint8_t>(data + at, n));
            at += n;
        }
        t += 0.002;
        in.advance_to(t);
        if (in.queued() > cfg.queue_capacity) std::abort();
        in.read(sink.data(), sink.size());
    }
    in.step(0.05);
    return 0;
}
