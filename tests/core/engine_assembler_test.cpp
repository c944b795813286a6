// SPDX-License-Identifier: MIT
#include <fstream>
#include <random>

#include "engine_fakes.h"

using namespace orv;
using namespace orv::test;

TEST_F(EngineTest, InformationPacketCaptions) {
    struct Case {
        uint8_t variant, model;
        const char* suffix;
        int device_model;
        int device_variant;
    } cases[] = {
        {51, 0, "S      Oscilloscope  200M", 0, 51},
        {52, 5, "R      Oscilloscope  150M", 5, 52},
        {51, 3, "S      Oscilloscope  20M", 3, 51},
        {60, 1, "      Oscilloscope  100M", 1, 51}, // unknown variant: nothing appended
        {51, 7, "S", 2, 51},                         // unknown model: no text, model 2 tables
    };
    for (const auto& c : cases) {
        scope->reconnect(); // back to a fresh connection, caption reset
        lib.take_commands();
        ui.general_errors.clear();
        tick_with(info_packet(c.variant, c.model, {1, 2, 3, 4, 5}));
        EXPECT_EQ(ui.caption, std::string(kBaseCaption) + " -1" + c.suffix);
        EXPECT_EQ(ctx.device_model, c.device_model);
        EXPECT_EQ(scope->device_variant, c.device_variant);
        EXPECT_EQ(scope->product_identifier(), "67" + std::to_string(c.variant) + std::to_string(c.model) + " 12345");
        EXPECT_EQ(ui.product_line, "Product ID: " + scope->product_identifier());
        // No calibration file for this instrument: the general error, and the forced time base.
        ASSERT_EQ(ui.general_errors.size(), 1u);
        EXPECT_EQ(ui.general_errors[0],
                  "No Calibration Data About This Device.\r\nThis Oscilloscope Need To Be Auto-Calibrated.");
        EXPECT_FALSE(scope->cal_file_loaded);
        EXPECT_EQ(regs(lib.take_commands()), (std::vector<uint8_t>{15, 153, 154, 166, 167, 15}));
        EXPECT_NE(ctx.sent_settings.time_base, ctx.current_settings.time_base) << "the next full send repeats it";
    }
}

TEST_F(EngineTest, OnlyTheFirstInformationPacketChangesTheCaption) {
    connect();
    tick_with(info_packet(51, 0));
    const std::string caption = ui.caption;
    tick_with(info_packet(52, 4));
    EXPECT_EQ(ui.caption, caption);
    EXPECT_EQ(ctx.device_model, 4);
    EXPECT_EQ(ui.general_errors.size(), 1u);
}

TEST_F(EngineTest, InstrumentCalibrationFileIsLoadedAndSent) {
    connect();
    OffsetTable table;
    table.set(Channel::A, 6, 0, 0x0345);
    table.set(Channel::B, 6, 0, 0x0678);
    {
        std::ofstream f(home / "setup" / "cal_67510 12345.vit", std::ios::binary);
        f.write(reinterpret_cast<const char*>(&table), sizeof(table));
    }
    tick_with(info_packet(51, 0));
    EXPECT_TRUE(scope->cal_file_loaded);
    EXPECT_TRUE(ui.general_errors.empty());
    EXPECT_EQ(scope->cal_name(), "cal_67510 12345");
    const auto cmds = lib.take_commands();
    ASSERT_GE(cmds.size(), 4u);
    EXPECT_EQ(cmds[0], (Command{164, 0x45}));
    EXPECT_EQ(cmds[1].reg, 162);
    EXPECT_EQ(cmds[1].value & 0x0F, 0x03);
    EXPECT_EQ(cmds[2], (Command{165, 0x78}));
    EXPECT_EQ(ctx.offset_table.offset_for(Channel::A, 6, 0), 0x0345);
}

TEST_F(EngineTest, ShortDataPacketOnTheFirstFrame) {
    connect(true);
    FakeWorker time;
    scope->set_worker(WorkerKind::Time, &time);
    tick_with(data_packet(2500, [](uint32_t i) { return i % 200; }, [](uint32_t) { return 9; }));
    EXPECT_EQ(scope->frame_count(), 5000u);
    EXPECT_EQ(scope->timebar_maximum(), 2500);
    EXPECT_EQ(scope->timebar_position(), 1250);
    EXPECT_EQ(ui.timebar_max, 2500);
    EXPECT_EQ(scope->frame_length(), 5000u);
    EXPECT_EQ(scope->display_buffer()[2 * 199], 199);
    EXPECT_EQ(scope->display_buffer()[2 * 200 + 1], 9);
    // "Trig & View At Center" ran: 50 %, view offset = position.
    EXPECT_EQ(ctx.current_settings.view_offset, 1250);
    const auto cmds = lib.take_commands();
    ASSERT_EQ(regs(cmds), (std::vector<uint8_t>{166, 167}));
    ASSERT_EQ(time.jobs, 1);
    EXPECT_EQ(time.last().frame_length, 5000u);
    EXPECT_EQ(time.last().view_centre, 1250);
    EXPECT_EQ(time.last().samples[2 * 199], 199);

    // Later frames do not move the view again.
    time.finish();
    scope->set_timebar_position(100);
    tick_with(flat_packet(3072, 1, 2));
    EXPECT_EQ(scope->timebar_position(), 100);
    EXPECT_EQ(scope->timebar_maximum(), 3072);
    EXPECT_TRUE(lib.take_commands().empty());
}

TEST_F(EngineTest, PacketsSplitAcrossReadsAndTicks) {
    connect();
    auto bytes = info_packet(51, 1);
    auto frame = data_packet(3072, [](uint32_t i) { return i & 0xFF; }, [](uint32_t i) { return 255 - (i & 0xFF); });
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    // Odd-sized pieces, several ticks.
    std::size_t at = 0;
    for (std::size_t piece : {1u, 2u, 7u, 300u, 5000u, 100000u}) {
        const std::size_t n = std::min(piece, bytes.size() - at);
        tick_with(std::vector<uint8_t>(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + n)));
        at += n;
    }
    EXPECT_EQ(scope->resync_count(), 0u);
    EXPECT_TRUE(scope->info_received);
    EXPECT_EQ(scope->frame_length(), 6144u);
    EXPECT_EQ(scope->display_buffer()[2 * 300], 300 & 0xFF);
    EXPECT_EQ(scope->display_buffer()[2 * 300 + 1], 255 - (300 & 0xFF));
    EXPECT_GE(lib.reads, 25) << "reads are capped at 256 bytes";
}

TEST_F(EngineTest, BadLengthsResynchroniseOnce) {
    struct Case {
        uint16_t length;
        bool resync;
    } cases[] = {{6148, true}, {9, true}, {0xFFFF, true}, {3, true}, {0, true}, {10, false}, {6147, false}};
    connect();
    for (const auto& c : cases) {
        const uint32_t before = scope->resync_count();
        // The header, then the bytes that follow it.
        std::vector<uint8_t> bytes(c.length > 6147 ? 20000 : (c.resync ? 20 : c.length), 0x55);
        bytes[0] = static_cast<uint8_t>(c.length & 0xFF);
        bytes[1] = static_cast<uint8_t>(c.length >> 8);
        bytes[2] = 99;
        tick_with(bytes);
        const auto cmds = lib.take_commands();
        if (c.resync) {
            EXPECT_EQ(scope->resync_count(), before + 1) << c.length;
            EXPECT_EQ(cmds, (std::vector<Command>{{15, 0}, {15, 1}})) << c.length;
            EXPECT_EQ(scope->packet_received(), 0u);
            EXPECT_EQ(scope->packet_buffer_index(), 0u);
        } else {
            EXPECT_EQ(scope->resync_count(), before) << c.length;
            EXPECT_TRUE(cmds.empty()) << c.length;
        }
        lib.rx.clear();
        scope->reconnect(); // a fresh assembler for the next case
        lib.take_commands();
    }
}

TEST_F(EngineTest, ResynchronisationDrainIsCapped) {
    connect();
    std::vector<uint8_t> bytes(1'000'000, 0);
    bytes[0] = bytes[1] = 0xFF;
    tick_with(bytes);
    EXPECT_EQ(scope->resync_count(), 1u);
    EXPECT_LE(lib.reads, 1 + static_cast<int>(kResyncDrainChunks) + 1);
    EXPECT_GT(lib.rx.size(), 900'000u) << "the rest waits for later ticks";
}

TEST_F(EngineTest, DrainStopsOnShortOrFailedReads) {
    connect();
    // The queue claims bytes that never arrive: reads time out with 0 bytes.
    lib.report_more_than_queued = true;
    tick_with(flat_packet(3072, 1, 2));
    EXPECT_EQ(scope->frame_length(), 6144u);
    EXPECT_LE(lib.reads, 26);

    // Unplugged mid-drain: every read fails; the tick returns, the next one reconnects.
    lib.report_more_than_queued = false;
    lib.short_read_limit = 100;
    lib.reads = 0;
    tick_with(flat_packet(3072, 1, 2));
    EXPECT_EQ(lib.reads, 1) << "a short read ends the drain";
}

TEST_F(EngineTest, OtherPacketsAreDropped) {
    connect();
    FakeWorker time;
    scope->set_worker(WorkerKind::Time, &time);
    tick_with(packet(99, std::vector<uint8_t>(6144, 5)));  // unknown type
    tick_with(packet(223, std::vector<uint8_t>(4000, 5))); // data type, wrong length
    tick_with(packet(67, std::vector<uint8_t>(20, 5)));    // information type, wrong length
    EXPECT_EQ(time.jobs, 0);
    EXPECT_FALSE(scope->info_received);
    EXPECT_EQ(scope->resync_count(), 0u);
    tick_with(flat_packet(3072, 3, 4));
    EXPECT_EQ(time.jobs, 1) << "the stream is still in step";
}

TEST_F(EngineTest, GarbageNeverBreaksTheEngine) {
    connect();
    std::mt19937 rng(1234);
    std::vector<uint8_t> bytes(4'000'000);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    for (int m : {1, 2, 3}) {
        ctx.current_settings.run_mode = static_cast<RunMode>(m);
        ctx.current_settings.time_base = static_cast<uint8_t>(10 + m * 2);
        refresh_derived(ctx, ctx.current_settings);
        scope->feed(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    EXPECT_GT(scope->resync_count(), 0u);
    EXPECT_LE(scope->roll_count(), kRollBufferEntries);
    // Still in step afterwards.
    scope->reconnect();
    set_mode(RunMode::Auto);
    set_time_base(7);
    tick_with(flat_packet(3072, 7, 8));
    EXPECT_EQ(scope->display_buffer()[0], 7);
}

// The forced re-send after the information packet must not look like a real time base: one
// step up on the knob afterwards has to reach the instrument.
TEST_F(EngineTest, TimeBaseOneStepUpAfterTheInformationPacketIsSent) {
    connect();
    tick_with(info_packet(51, 1));
    lib.take_commands();
    ctx.current_settings.time_base = static_cast<uint8_t>(ctx.current_settings.time_base + 1);
    refresh_derived(ctx, ctx.current_settings);
    ASSERT_TRUE(scope->send_time_base());
    EXPECT_EQ(regs(lib.take_commands()), (std::vector<uint8_t>{15, 153, 154, 166, 167, 15}));
}
