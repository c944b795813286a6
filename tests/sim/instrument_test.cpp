// SPDX-License-Identifier: MIT
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace orv::sim;
using namespace orv::sim::testing;

namespace {

struct Write {
    int reg, value;
    bool operator==(const Write&) const = default;
};

std::vector<Write> decode(const std::vector<uint8_t>& bytes) {
    Instrument in;
    std::vector<Write> out;
    in.on_register([&](double, int r, int v) { out.push_back({r, v}); });
    in.write(bytes);
    return out;
}

// A running instrument on model 0 at 1 ms/div (250 kS/s), with the front end and offsets the
// application sends at start-up.
struct Scope : ::testing::Test {
    InstrumentConfig cfg;
    std::unique_ptr<Instrument> in;
    void make() {
        in = std::make_unique<Instrument>(cfg);
        set_front_end(*in, 4, true, 4, true);
        set_dac(*in, 0, orv::calibration::nominal_dac_code(1, 127));
        set_dac(*in, 1, orv::calibration::nominal_dac_code(1, 127));
        send_code(*in, 400);
    }
    Packet next_frame() {
        for (int i = 0; i < 50; ++i) {
            if (!in->step(2.0)) break;
            auto ps = data_packets(drain(*in));
            if (!ps.empty()) return ps.front();
        }
        ADD_FAILURE() << "no frame";
        return {};
    }
};

} // namespace

TEST(Decoder, CommandsAndResynchronisation) {
    using B = std::vector<uint8_t>;
    struct Case {
        const char* what;
        B bytes;
        std::vector<Write> writes;
    } cases[] = {
        {"run 2", {0x00, 0x42, 0x8F, 0xE0}, {{15, 2}}},
        {"161 = 24", {0x01, 0x48, 0x81, 0xEA}, {{161, 24}}},
        {"register 255 = 255", {0x0F, 0x4F, 0x8F, 0xEF}, {{255, 255}}},
        {"two commands back to back", {0x00, 0x42, 0x8F, 0xE0, 0x01, 0x48, 0x81, 0xEA}, {{15, 2}, {161, 24}}},
        {"missing byte 1 drops the command", {0x00, 0x8F, 0xE0, 0x00, 0x41, 0x8F, 0xE0}, {{15, 1}}},
        {"a new first byte restarts", {0x00, 0x42, 0x0A, 0x4B, 0x8C, 0xE9}, {{156, 0xAB}}},
        {"garbage between commands", {0xFF, 0x37, 0x55, 0xC3, 0x00, 0x43, 0x8F, 0xE0}, {{15, 3}}},
        {"byte 3 with wrong middle bits", {0x00, 0x42, 0x8F, 0xD0, 0x00, 0x42, 0x8F, 0xE0}, {{15, 2}}},
        {"byte 0 with middle bits set is not a start", {0x10, 0x42, 0x8F, 0xE0}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.bytes), c.writes) << c.what;
}

TEST(FrontEnd, RelayBytesDecodeToTheVoltsPerDivOfEachChannel) {
    for (int ia = 0; ia < 10; ++ia) {
        int ib = 9 - ia;
        auto [a, b] = relay_bytes(ia, ia % 2 == 0, ib, ib % 3 == 0);
        auto fa = decode_front_end(a, b, 0), fb = decode_front_end(a, b, 1);
        EXPECT_EQ(fa.volt_div_index, ia);
        EXPECT_EQ(fb.volt_div_index, ib);
        EXPECT_EQ(fa.dc, ia % 2 == 0);
        EXPECT_EQ(fb.dc, ib % 3 == 0);
        EXPECT_EQ(fa.gain_stage, orv::gain_stage(ia));
        EXPECT_EQ(fb.gain_stage, orv::gain_stage(ib));
    }
    // 24 in relay byte B selects gain 0 for both channels: bits 3-4 are not gain bits.
    auto [a, b] = relay_bytes(4, true, 5, true);
    (void)b;
    EXPECT_EQ(decode_front_end(a, 24, 0).volt_div_index, 6);
    EXPECT_EQ(decode_front_end(a, 24, 1).volt_div_index, 6);
    EXPECT_EQ(decode_front_end(a, 24, 1).gain_stage, 0);
}

TEST(Rates, BlockRatesMatchTheSamplingRateTableForEveryModelAndTimeBase) {
    // Time-base codes by model and time base, and the rates (MS/s) the analysis views assume.
    const int codes[6][24] = {
        {2, 4, 8, 20, 40, 80, 200, 400, 800, 2000, 4000, 8000, 4000, 4000, 4000, 4000, 4000, 0, 0, 0, 0, 0, 0, 1},
        {1, 2, 4, 10, 20, 40, 100, 200, 400, 1000, 2000, 4000, 2000, 2000, 2000, 2000, 2000, 0, 0, 0, 0, 0, 0, 0},
        {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200, 2400, 1200, 1200, 1200, 1200, 1200, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 1, 2, 4, 8, 20, 40, 80, 200, 400, 800, 400, 400, 400, 400, 400, 0, 0, 0, 0, 0, 0, 0},
        {0, 1, 2, 4, 8, 16, 40, 80, 160, 400, 800, 1600, 800, 800, 800, 800, 800, 0, 0, 0, 0, 0, 0, 0},
        {2, 3, 6, 15, 30, 60, 150, 300, 600, 1500, 3000, 6000, 3000, 3000, 3000, 3000, 3000, 0, 0, 0, 0, 0, 0, 0},
    };
    const double first3[6][3] = {{50, 25, 12.5}, {50, 25, 12.5}, {30, 15, 10}, {20, 20, 10}, {40, 20, 10}, {37.5, 25, 12.5}};
    const double fast[6][2] = {{200, 100}, {100, 100}, {60, 60}, {20, 20}, {40, 40}, {150, 150}};
    const double mid[9] = {5, 2.5, 1.25, 0.5, 0.25, 0.125, 0.05, 0.025, 0.0125};
    for (int m = 0; m < 6; ++m) {
        for (int tb = 0; tb < 24; ++tb) {
            double want = tb < 3 ? first3[m][tb] : tb <= 11 ? mid[tb - 3] : tb <= 16 ? 0.025 : tb <= 22 ? fast[m][0] : fast[m][1];
            InstrumentConfig cfg;
            cfg.model = m;
            Instrument in(cfg);
            // The application writes the two bytes in either order; only the run command counts.
            send(in, 154, codes[m][tb] >> 8);
            send(in, 153, codes[m][tb] & 0xFF);
            send(in, 15, 1);
            EXPECT_NEAR(in.sample_rate() / 1e6, want, want * 1e-9) << "model " << m << " time base " << tb;
        }
    }
}

TEST(Rates, TimeBaseTakesEffectOnlyWithTheRunCommand) {
    Instrument in;
    send_code(in, 400);
    send(in, 15, 1);
    EXPECT_DOUBLE_EQ(in.sample_rate(), 250e3);
    send_code(in, 40);
    EXPECT_DOUBLE_EQ(in.sample_rate(), 250e3);
    send(in, 15, 2);
    EXPECT_DOUBLE_EQ(in.sample_rate(), 2.5e6);
}

TEST(Packets, InformationPacketFollowsTheFirstCommandAfterAPurgeAndDataPacketsAreWellFormed) {
    for (int frame : {6147, 5003}) {
        InstrumentConfig cfg;
        cfg.model = 5;
        cfg.variant = 52;
        cfg.id = {9, 8, 7, 6, 5};
        cfg.frame_bytes = frame;
        Instrument in(cfg);
        send(in, 15, 0);
        EXPECT_EQ(in.queued(), 0u) << "no information packet before a purge";
        in.purge(3);
        send(in, 15, 0);
        send(in, 170, 0);
        auto ps = drain(in);
        ASSERT_EQ(ps.size(), 1u);
        EXPECT_EQ(ps[0].bytes, (std::vector<uint8_t>{10, 0, 67, 52, 5, 9, 8, 7, 6, 5}));

        send_code(in, 300);
        send(in, 15, 4);
        std::size_t data = 0, infos = 0;
        // One information packet a second while acquisition runs, between whole data packets.
        for (double t = 0.05; t < 2.5; t += 0.05) {
            in.advance_to(t);
            std::vector<uint8_t> junk;
            for (const auto& p : drain(in, &junk)) {
                EXPECT_EQ(p.bytes.size(), p.type == 67 ? 10u : std::size_t(frame));
                (p.type == 67 ? infos : data)++;
            }
            EXPECT_TRUE(junk.empty());
        }
        EXPECT_GE(data, 100u);
        EXPECT_EQ(infos, 2u);
    }
}

TEST(Packets, SameSeedSameBytes) {
    auto run = [] {
        Instrument in;
        send_code(in, 400);
        send(in, 15, 1);
        in.advance_to(0.5);
        std::vector<uint8_t> all(in.queued());
        in.read(all.data(), all.size());
        return all;
    };
    auto a = run();
    EXPECT_GT(a.size(), 6147u);
    EXPECT_EQ(a, run());
}

TEST_F(Scope, FramesAreHeldBackWhileTheQueueIsFull) {
    cfg.queue_capacity = 10 * 6147 + 5; // full of frames, less room left than an information packet
    make();
    send(*in, 15, 4);
    in->advance_to(5.0);
    EXPECT_LE(in->queued(), cfg.queue_capacity);
    EXPECT_GT(in->queued(), cfg.queue_capacity - 6147 - 10);
    EXPECT_EQ(in->dropped_packets(), 0u);
    // A slow reader: each read makes room for about one frame, and the information packet,
    // overdue meanwhile, must not take that room from the capture it starts.
    std::vector<uint8_t> buf(6147);
    for (int i = 0; i < 12; ++i) {
        in->read(buf.data(), buf.size() - std::size_t(i % 3));
        in->advance_to(5.0 + 0.7 * (i + 1));
        EXPECT_GT(in->queued(), cfg.queue_capacity - 6147 - 10);
    }
    EXPECT_EQ(in->dropped_packets(), 0u);
}

TEST_F(Scope, TriggerCrossingLandsAtTheProgrammedPosition) {
    cfg.signal[0] = {SignalKind::Sine, 700.0, 2.0, 0.0};
    cfg.signal[1] = {SignalKind::Triangle, 450.0, 1.5, 0.0};
    make();
    const int level = 110;
    for (int code = 0; code < 6; ++code) {
        for (int position : {4, 1539, 3066, 9000}) {
            send(*in, 15, 0);
            send(*in, 152, level);
            send(*in, 155, code);
            send(*in, 166, position & 0xFF);
            send(*in, 167, position >> 8);
            send(*in, 15, 2);
            auto f = next_frame();
            ASSERT_EQ(f.bytes.size(), 6147u);
            int p = std::min(position, 3071);
            int ch = code & 1;
            int cur = f.payload()[2 * p + ch], prev = f.payload()[2 * (p - 1) + ch];
            SCOPED_TRACE(::testing::Message() << "code " << code << " position " << position);
            switch (code / 2) {
            case 0: EXPECT_TRUE(cur >= level && prev < level) << prev << " -> " << cur; break;
            case 1: EXPECT_TRUE(cur <= level && prev > level) << prev << " -> " << cur; break;
            default: EXPECT_EQ(cur, level); break;
            }
        }
    }
}

TEST_F(Scope, NormalWaitsSingleStopsAutoFreeRuns) {
    cfg.signal[0] = {SignalKind::Dc, 0.0, 0.5, 0.0};
    make();
    send(*in, 152, 20); // far from the trace
    send(*in, 155, 0);
    send(*in, 15, 2);
    in->advance_to(1.0);
    EXPECT_TRUE(data_packets(drain(*in)).empty());

    send(*in, 15, 1);
    in->advance_to(1.5);
    auto auto_frames = data_packets(drain(*in)).size();
    EXPECT_GE(auto_frames, 3u); // about one every 100 ms
    EXPECT_LE(auto_frames, 6u);

    cfg.signal[0] = {SignalKind::Square, 1000.0, 3.0, 0.0};
    make();
    send(*in, 152, 127);
    send(*in, 15, 3);
    in->advance_to(1.0);
    EXPECT_EQ(data_packets(drain(*in)).size(), 1u);
    EXPECT_EQ(in->run_code(), 0);
    send(*in, 15, 3); // re-arm
    in->advance_to(2.0);
    EXPECT_EQ(data_packets(drain(*in)).size(), 1u);
}

TEST_F(Scope, FrontEndFollowsVoltsPerDivCouplingAndOffset) {
    cfg.signal = {SignalSpec{SignalKind::Dc, 0.0, 1.0, 0.0}, SignalSpec{SignalKind::Sine, 1000.0, 1.0, 0.5}};
    make();
    send(*in, 15, 4);
    struct Case {
        int index;
        bool dc;
        double want_a_below_zero, want_b_below_zero; // codes below the zero level
    } cases[] = {
        {4, true, 25.0, 12.5},   // 1 V/div: 1 V is one division; B's mean 0.5 V
        {3, true, 50.0, 25.0},   // 0.5 V/div
        {6, true, 5.0, 2.5},     // 5 V/div
        {4, false, 0.0, 0.0},    // AC removes the mean
    };
    for (const auto& c : cases) {
        set_front_end(*in, c.index, c.dc, c.index, c.dc);
        send(*in, 15, 4);
        drain(*in);
        auto f = next_frame();
        // A sine mean over whole periods: 3072 samples at 250 kS/s is 12.288 periods of 1 kHz.
        EXPECT_NEAR(in->zero_level(0) - mean_of(f, 0), c.want_a_below_zero, 0.6) << c.index << c.dc;
        EXPECT_NEAR(in->zero_level(1) - mean_of(f, 1), c.want_b_below_zero, 1.5) << c.index << c.dc;
    }
    // The offset DAC moves the zero level down with the code, along the gain stage's line.
    set_front_end(*in, 4, true, 4, true);
    double before = in->zero_level(0);
    set_dac(*in, 0, in->dac_code(0) + 200);
    EXPECT_NEAR(in->zero_level(0) - before, 200 * orv::calibration::kNominalDac[1].raw_per_code, 1.0);
    // The sequence nibble of register 162 does not matter; the write of 164 alone does nothing.
    send(*in, 164, 0);
    EXPECT_EQ(in->dac_code(0) & 0xFF, (orv::calibration::nominal_dac_code(1, 127) + 200) & 0xFF);
    send(*in, 162, 0xF0 | (in->dac_code(0) >> 8));
    EXPECT_EQ(in->dac_code(0) & 0xFF, 0);
}

TEST(Calibration, SweepIsMonotonicSpansTheRawRangeAndShowsTheUnitsDeviation) {
    Instrument in;
    set_front_end(in, 4, false, 4, false);
    send_code(in, 400);
    send(in, 156, 3);
    double first_a = -1, last_a = -1, prev_a = -1;
    int low = -1, high = -1;
    for (int code = 0; code < 4096; code += 10) {
        set_dac(in, 0, code);
        set_dac(in, 1, code);
        send(in, 15, 6);
        auto ps = step_to_data(in);
        ASSERT_EQ(ps.size(), 1u);
        double a = mean_of(ps[0], 0, 1);
        if (first_a < 0) first_a = a;
        last_a = a;
        EXPECT_GE(a, prev_a - 0.05) << code;
        prev_a = a;
        if (a >= 1.0 && low < 0) low = code;
        if (a <= 253.0) high = code;
    }
    EXPECT_LT(first_a, 1.0);
    EXPECT_GT(last_a, 253.0);
    EXPECT_GT(low, 0);
    EXPECT_LT(high, 4090);
    EXPECT_GT(high - low, 1000);
    // The factory table is visibly off: the nominal code for positions +100 and -100 misses by
    // more than a code or two.
    for (double raw : {27.0, 227.0}) {
        set_dac(in, 0, orv::calibration::nominal_dac_code(1, raw));
        EXPECT_GE(std::fabs(in.zero_level(0) - raw), 2.5) << raw;
    }
}

TEST(Calibration, ChannelFaultsAndDroppedRequests) {
    InstrumentConfig cfg;
    cfg.channel_fault = {ChannelFault::Dead, ChannelFault::Saturated};
    cfg.drop_calibration_frame = 3;
    Instrument in(cfg);
    send(in, 156, 3);
    send(in, 15, 6);
    send(in, 15, 6);
    send(in, 15, 6); // the third request is lost
    send(in, 15, 6);
    while (in.step()) {}
    auto ps = data_packets(drain(in));
    ASSERT_EQ(ps.size(), 3u);
    EXPECT_EQ(mean_of(ps[0], 0), 0.0);
    EXPECT_EQ(mean_of(ps[0], 1), 255.0);
}

TEST(Streaming, PacketsCarryATenthOfASecondAt25kSps) {
    InstrumentConfig cfg;
    for (int model = 0; model < 6; ++model) {
        cfg.model = model;
        Instrument in(cfg);
        const int tb12[6] = {4000, 2000, 1200, 400, 800, 3000};
        send_code(in, tb12[model]);
        send(in, 15, 5);
        in.advance_to(0.999);
        EXPECT_EQ(data_packets(drain(in)).size(), 9u);
        in.advance_to(1.001);
        auto ps = drain(in);
        ASSERT_EQ(data_packets(ps).size(), 1u);
        EXPECT_EQ(data_packets(ps)[0].bytes.size(), 5003u);
    }
}

TEST(Streaming, OverflowDropsWholePacketsAndCountsThem) {
    Instrument in;
    send_code(in, 400); // 250 kS/s: ten packets a second of 5003 bytes
    send(in, 15, 5);
    in.advance_to(3.0);
    EXPECT_LE(in.queued(), 65536u);
    EXPECT_GT(in.dropped_packets(), 10u);
    std::vector<uint8_t> junk;
    auto ps = drain(in, &junk);
    EXPECT_TRUE(junk.empty()) << "a partial packet was queued";
}

namespace {

// Logic mode as the application configures it: trigger point m, pattern, clock code, run code.
void configure_logic(Instrument& in, int m, int mask, int value, int mode_bits, int clock_code, int run) {
    send(in, 166, m & 0xFF);
    send(in, 167, m >> 8);
    send(in, 15, 0);
    send(in, 168, 127);
    send(in, 169, 127);
    send(in, 172, mask);
    send(in, 171, value);
    send(in, 170, 0x31 | mode_bits);
    send_code(in, clock_code);
    send(in, 15, run);
}

int channel_byte(const Packet& p, int channel, int k) { return p.payload()[2 * k + channel]; }

} // namespace

TEST(Logic, BlockFramesPutTheMatchingWindowAtByteMMinus2) {
    InstrumentConfig cfg;
    cfg.logic[0] = *parse_logic("clock:1000000");   // 100 samples a period at 100 MS/s
    cfg.logic[1] = *parse_logic("uart:115200:Hi");
    struct Case {
        int mode_bits, mask, value, channel;
    } cases[] = {
        {0x00, 0xFF, 0x0F, 0}, // rising clock edge on A
        {0x08, 0xFF, 0xF0, 1}, // falling edge on B (source B)
        {0x00, 0x00, 0x00, 0}, // mask 0 matches at once
    };
    for (const auto& c : cases) {
        for (int m : {4, 1538, 3067}) {
            Instrument in(cfg);
            configure_logic(in, m, c.mask, c.value, c.mode_bits, 0, 2);
            ASSERT_TRUE(in.step());
            auto ps = data_packets(drain(in));
            ASSERT_EQ(ps.size(), 1u);
            ASSERT_EQ(ps[0].bytes.size(), 6147u);
            EXPECT_EQ(channel_byte(ps[0], c.channel, m - 2) & c.mask, c.value) << m;
            if (c.mask == 0 || m < 4) continue;
            // The application's fine-offset search over bytes m-4..m-2 finds the window whole
            // (shift 16), not a part of it.
            uint32_t w = uint32_t(channel_byte(ps[0], c.channel, m - 2)) | uint32_t(channel_byte(ps[0], c.channel, m - 3)) << 8 |
                         uint32_t(channel_byte(ps[0], c.channel, m - 4)) << 16;
            int j = 0;
            while (j <= 16 && ((w << j) & (uint32_t(c.mask) << 16)) != uint32_t(c.value) << 16) ++j;
            EXPECT_EQ(j, 16) << m;
        }
    }
    // The frame covers 8 x 3072 samples per channel at the logic clock: 50 MHz / code.
    Instrument in(cfg);
    configure_logic(in, 100, 0, 0, 0, 50, 4);
    EXPECT_DOUBLE_EQ(in.sample_rate(), 1e6);
    ASSERT_TRUE(in.step());
    EXPECT_NEAR(in.now(), 8 * 3072 / 1e6, 1e-5);
}

TEST(Logic, StreamsAndExternalClock) {
    InstrumentConfig cfg;
    cfg.logic[0] = *parse_logic("clock:50000");
    cfg.logic[1] = *parse_logic("counter:50000");
    Instrument in(cfg);
    configure_logic(in, 100, 0, 0, 0, 125, 5); // stream at 400 kS/s
    EXPECT_DOUBLE_EQ(in.sample_rate(), 400e3);
    std::vector<Packet> ps;
    for (double t = 0.1; t <= 1.0; t += 0.1) {
        in.advance_to(t);
        auto more = data_packets(drain(in));
        ps.insert(ps.end(), more.begin(), more.end());
    }
    EXPECT_EQ(ps.size(), std::size_t(1.0 / (24576 / 400e3)));
    for (const auto& p : ps) EXPECT_EQ(p.bytes.size(), 6147u);
    // Eight samples a clock period: channel A's bytes are 0xF0.
    EXPECT_EQ(channel_byte(ps[0], 0, 10), 0xF0);

    // "High Ext.": B sampled on A's rising edges reads the counter byte after byte.
    Instrument ext(cfg);
    configure_logic(ext, 100, 0, 0, 0x04, 0, 1);
    ASSERT_TRUE(ext.step(2.0));
    auto f = data_packets(drain(ext));
    ASSERT_EQ(f.size(), 1u);
    // The capture starts at any edge, so find the byte boundary of the counter first.
    auto bit = [&](int i) { return (channel_byte(f[0], 1, i / 8) >> (7 - i % 8)) & 1; };
    auto byte_at = [&](int from) {
        int v = 0;
        for (int j = 0; j < 8; ++j) v = v << 1 | bit(from + j);
        return v;
    };
    int best = 0;
    for (int o = 0; o < 8; ++o) {
        int run = 0;
        for (int k = 1; o + 8 * k + 8 <= 24576; ++k) run += byte_at(o + 8 * k) == ((byte_at(o + 8 * (k - 1)) + 1) & 0xFF);
        best = std::max(best, run);
    }
    EXPECT_EQ(best, 3070);
}

TEST(Faults, GarbageAndBadLengthsBreakTheStreamWherePromised) {
    InstrumentConfig cfg;
    cfg.garbage_every = 3;
    Instrument in(cfg);
    send_code(in, 400);
    send(in, 15, 4);
    for (int i = 0; i < 9; ++i) in.step();
    std::vector<uint8_t> junk;
    auto ps = drain(in, &junk);
    EXPECT_FALSE(junk.empty());
    EXPECT_GE(data_packets(ps).size(), 6u);

    cfg.garbage_every = 0;
    cfg.bad_length_every = 2;
    Instrument bad(cfg);
    send_code(bad, 400);
    send(bad, 15, 4);
    bad.step();
    bad.step();
    std::vector<uint8_t> bytes(bad.queued());
    bad.read(bytes.data(), bytes.size());
    ASSERT_EQ(bytes.size(), 2u * 6147);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 6147);
    EXPECT_EQ(bytes[6147] | bytes[6148] << 8, 6148);
}

TEST(PowerCycle, ResetsRegistersAndQueue) {
    Instrument in;
    send(in, 160, 0x99);
    send_code(in, 400);
    send(in, 15, 4);
    in.step();
    in.advance_to(30.0);
    in.power_cycle();
    EXPECT_EQ(in.now(), 0.0);
    EXPECT_EQ(in.reg(160), 0);
    EXPECT_EQ(in.queued(), 0u);
    EXPECT_EQ(in.run_code(), 0);
    EXPECT_FALSE(in.step());
    // The clock runs again from 0: a stream starts at once, not 30 s later.
    send_code(in, 4000);
    send(in, 15, 5);
    in.advance_to(0.25);
    EXPECT_EQ(data_packets(drain(in)).size(), 2u);
}
