// SPDX-License-Identifier: MIT
#include "engine_fakes.h"

using namespace orv;
using namespace orv::test;

TEST_F(EngineTest, RollDecimationSteps) {
    struct Case {
        int time_base;
        uint32_t step;
    } cases[] = {{11, 2}, {12, 10}, {13, 20}, {14, 40}, {15, 100}, {16, 200}};
    connect();
    for (const auto& c : cases) {
        scope->reset_roll_state();
        set_time_base(c.time_base);
        // A carries the pair index, B its complement: the roll buffer shows which pairs were taken.
        const auto bytes = data_packet(3072, [](uint32_t i) { return i & 0xFF; }, [](uint32_t i) { return ~i & 0xFF; });
        tick_with(bytes);
        const uint32_t pairs = (6144 + c.step - 1) / c.step;
        // At step 2 the packet fills a whole frame, which Auto commits and starts again.
        EXPECT_EQ(scope->roll_count(), c.step == 2 ? 0 : 2 * pairs) << c.time_base;
        EXPECT_EQ(scope->roll_carry(), 3 + pairs * c.step - 6147) << c.time_base;
        EXPECT_EQ(scope->frame_length(), c.step == 2 ? 6144u : 2 * pairs) << "Auto grows the trace";
        for (uint32_t k : {0u, 1u, pairs - 1}) {
            EXPECT_EQ(scope->frame_samples()[2 * k], (k * c.step / 2) & 0xFF) << c.time_base;
            EXPECT_EQ(scope->frame_samples()[2 * k + 1], ~(k * c.step / 2) & 0xFF) << c.time_base;
        }
    }
}

TEST_F(EngineTest, RollCarryContinuesIntoTheNextPacket) {
    connect();
    set_time_base(12); // every fifth pair; 6144 is not a multiple of 10
    tick_with(data_packet(3072, [](uint32_t i) { return i % 5 == 0 ? 200 : 0; }, [](uint32_t) { return 0; }));
    EXPECT_EQ(scope->roll_carry(), 6u);
    tick_with(data_packet(3072, [](uint32_t i) { return i % 5 == 3 ? 200 : 0; }, [](uint32_t) { return 0; }));
    // The second packet starts at pair 3 (entry 6): its every pair taken is a 200.
    ASSERT_EQ(scope->frame_length(), 2 * (615u + 614u));
    for (uint32_t k = 615; k < 1229; ++k) ASSERT_EQ(scope->frame_samples()[2 * k], 200) << k;
}

namespace {

// A signal of 400 decimated pairs whose edge sits at pair kEdge (packet pair 5 x kEdge at step
// 10). Channels not under test sit at 100.
constexpr uint32_t kEdge = 150;
struct Signal {
    const char* name;
    int a_before, a_at, a_after, b_before, b_at, b_after;
};
constexpr Signal kSignals[] = {
    {"A falling", 100, 150, 150, 100, 100, 100}, {"B falling", 100, 100, 100, 100, 150, 150},
    {"A rising", 150, 100, 100, 100, 100, 100},  {"B rising", 100, 100, 100, 150, 100, 100},
    {"A level", 100, 127, 100, 100, 100, 100},   {"B level", 100, 100, 100, 100, 127, 100},
};
int value(uint32_t pair, int before, int at, int after) {
    const uint32_t k = pair / 5;
    return k < kEdge ? before : (k == kEdge ? at : after);
}
std::vector<uint8_t> signal_packet(const Signal& s) {
    return data_packet(
        3072, [&](uint32_t i) { return value(i, s.a_before, s.a_at, s.a_after); },
        [&](uint32_t i) { return value(i, s.b_before, s.b_at, s.b_after); });
}

} // namespace

TEST_F(EngineTest, SoftwareTriggerTests) {
    // hits[code][signal]: the level signals also pass the falling-edge test of their channel.
    const bool hits[6][6] = {
        {1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 1}, {0, 0, 1, 0, 0, 0},
        {0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 1},
    };
    connect();
    set_mode(RunMode::Normal);
    set_time_base(12);
    // Trigger far left: M clamps to 2 x 4 = 8 entries.
    ctx.current_settings.trigger_x_percent = 0.0;
    ctx.current_settings.view_offset = 6144;
    ASSERT_EQ(scope->pretrigger_entries(), 8u);
    for (uint8_t code = 0; code < 6; ++code) {
        for (int s = 0; s < 6; ++s) {
            fresh_scope();
            connect();
            set_mode(RunMode::Normal);
            set_time_base(12);
            ctx.current_settings.trigger_code = code;
            const uint32_t committed_before = scope->frame_length();
            tick_with(signal_packet(kSignals[s]));
            SCOPED_TRACE(std::string("code ") + std::to_string(code) + ", " + kSignals[s].name);
            ASSERT_EQ(scope->roll_triggered(), hits[code][s]);
            if (hits[code][s]) {
                // The trigger entry lands at M; a step other than 2 commits at once.
                const int channel = code % 2;
                const Signal& sig = kSignals[s];
                EXPECT_EQ(scope->roll_buffer()[8 + channel], channel ? sig.b_at : sig.a_at);
                EXPECT_EQ(scope->roll_buffer()[6 + channel], channel ? sig.b_before : sig.a_before);
                EXPECT_EQ(scope->roll_count(), 1230u - (2 * kEdge - 8));
                EXPECT_EQ(scope->frame_length(), scope->roll_count());
                EXPECT_EQ(scope->display_buffer()[8 + channel], channel ? sig.b_at : sig.a_at);
            } else {
                EXPECT_EQ(scope->roll_count(), 8u) << "only the last M entries are kept";
                EXPECT_EQ(scope->frame_length(), committed_before);
            }
        }
    }
}

TEST_F(EngineTest, TriggerLevelComparesWith127MinusLevel) {
    connect();
    set_mode(RunMode::Normal);
    set_time_base(12);
    ctx.current_settings.trigger_x_percent = 0.0;
    ctx.current_settings.view_offset = 6144;
    ctx.current_settings.trigger_code = 4; // A level
    ctx.current_settings.trigger_level = 27;
    tick_with(data_packet(3072, [](uint32_t i) { return i / 5 == 200 ? 100 : 90; }, [](uint32_t) { return 0; }));
    EXPECT_TRUE(scope->roll_triggered());
}

TEST_F(EngineTest, PretriggerLengthIsClampedLikeTheHardwarePosition) {
    connect();
    set_mode(RunMode::Normal);
    set_time_base(16);
    ctx.device_model = 0;
    ctx.current_settings.view_offset = 0; // "View To Left" at 50 %: 3075 unclamped
    ASSERT_EQ(scope->pretrigger_entries(), 6134u);
    ctx.current_settings.trigger_code = 4;
    ctx.current_settings.trigger_level = -100; // never met by the flat signal
    for (int i = 0; i < 250; ++i) {
        tick_with(flat_packet(3072, 50, static_cast<uint8_t>(i)));
        ASSERT_LE(scope->roll_count(), 6134u + 62u);
    }
    EXPECT_EQ(scope->roll_count(), 6134u);
    EXPECT_EQ(scope->roll_buffer()[6133], 249) << "the newest pair is kept last";
}

TEST_F(EngineTest, SingleCaptureGrowsToAFrameThenIgnoresPackets) {
    connect();
    set_mode(RunMode::Single);
    ctx.current_settings.single_armed = 1;
    set_time_base(12);
    ctx.current_settings.trigger_x_percent = 0.0;
    ctx.current_settings.view_offset = 6144;
    ctx.current_settings.trigger_code = 0;
    tick_with(signal_packet(kSignals[0]));
    ASSERT_TRUE(scope->roll_triggered());
    EXPECT_EQ(ctx.current_settings.single_armed, 0);
    uint32_t last = scope->frame_length();
    int packets = 0;
    while (scope->frame_length() < 6144u && packets < 20) {
        tick_with(flat_packet(3072, 60, 60));
        EXPECT_GE(scope->frame_length(), last) << "the trace keeps growing";
        last = scope->frame_length();
        ++packets;
    }
    ASSERT_EQ(scope->frame_length(), 6144u);
    const std::vector<Sample> shown(scope->display_buffer(), scope->display_buffer() + 6144);
    tick_with(flat_packet(3072, 200, 200));
    tick_with(signal_packet(kSignals[0]));
    EXPECT_EQ(std::vector<Sample>(scope->display_buffer(), scope->display_buffer() + 6144), shown);
    EXPECT_EQ(scope->frame_length(), 6144u);
}

TEST_F(EngineTest, TriggerAtStep2CommitsWithTheNextPacket) {
    connect();
    set_mode(RunMode::Normal);
    set_time_base(11);
    ctx.current_settings.trigger_x_percent = 0.0;
    ctx.current_settings.view_offset = 6144;
    ctx.current_settings.trigger_code = 0;
    tick_with(data_packet(3072, [](uint32_t i) { return i < 1000 ? 100 : 150; }, [](uint32_t) { return 0; }));
    ASSERT_TRUE(scope->roll_triggered());
    EXPECT_EQ(scope->frame_length(), 0u);
    tick_with(flat_packet(3072, 150, 0));
    EXPECT_EQ(scope->frame_length(), 6144u);
    EXPECT_EQ(scope->display_buffer()[6], 100);
    EXPECT_EQ(scope->display_buffer()[8], 150);
}

TEST_F(EngineTest, HoldAndPlaybackDropPackets) {
    connect();
    FakeWorker time;
    scope->set_worker(WorkerKind::Time, &time);
    for (RunMode m : {RunMode::Hold, RunMode::Playback}) {
        set_mode(m);
        tick_with(flat_packet(3072, 1, 1));
        EXPECT_EQ(scope->packet_buffer_index(), 0u);
        EXPECT_NE(scope->display_buffer()[0], 1);
    }
}

TEST_F(EngineTest, ThreePacketBuffersRotate) {
    connect();
    for (uint32_t i = 1; i <= 4; ++i) {
        tick_with(flat_packet(3072, static_cast<uint8_t>(i), 0));
        EXPECT_EQ(scope->packet_buffer_index(), i % 3);
    }
    EXPECT_EQ(scope->packet_buffer(1)[3], 2);
    EXPECT_EQ(scope->packet_buffer(2)[3], 3);
    EXPECT_EQ(scope->packet_buffer(0)[3], 4);
}
