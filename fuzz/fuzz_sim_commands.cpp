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
    orv::sim::InstrumentConfig cfg;
    cfg.queue_capacity = 16384;
    orv::sim::Instrument in(cfg);
    std::vector<uint8_t> sink(4096);
    // Feed in slices with a little simulated time between them, so acquisition runs too.
    std::size_t at = 0;
    double t = 0.0;
    while (at < size) {
        std::size_t n = std::min<std::size_t>(size - at, 1 + data[at] % 32);
        in.write(std::span<const uint8_t>(data + at, n));
        at += n;
        t += 0.002;
        in.advance_to(t);
        if (in.queued() > cfg.queue_capacity) std::abort();
        in.read(sink.data(), sink.size());
    }
    return 0;
}
