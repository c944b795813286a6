// SPDX-License-Identifier: MIT
#include "engine_fakes.h"

using namespace orv;
using namespace orv::test;

TEST_F(EngineTest, ConnectInitialisesTheInstrument) {
    ctx.current_settings.time_base = 3;
    ASSERT_TRUE(scope->connect("Dev0"));
    const auto cmds = lib.take_commands();
    ASSERT_GE(cmds.size(), 8u);
    EXPECT_EQ(std::vector<Command>(cmds.begin(), cmds.begin() + 5),
              (std::vector<Command>{{15, 0}, {156, 0}, {15, 0}, {170, 0}, {13, 0}}));
    EXPECT_EQ(cmds.back(), (Command{161, 24}));
    EXPECT_EQ(ctx.current_settings.run_mode, RunMode::Auto);
    EXPECT_EQ(ctx.current_settings.time_base, 7) << "the first connection starts from the defaults";
    EXPECT_EQ(ui.caption, std::string(kBaseCaption) + " -1");
    EXPECT_EQ(ui.highlighted, 1);
    EXPECT_FALSE(scope->search().running());
    EXPECT_EQ(ctx.sent_settings.time_base, ctx.current_settings.time_base);
    // Every group went out once.
    for (uint8_t r : {152, 153, 155, 160, 161, 162, 163})
        EXPECT_NE(std::find_if(cmds.begin(), cmds.end(), [r](const Command& c) { return c.reg == r; }), cmds.end())
            << int(r);
}

TEST_F(EngineTest, NoInstrumentRunsTheDemoAndSearches) {
    lib.present[0] = false;
    EXPECT_FALSE(scope->connect("Dev0"));
    EXPECT_EQ(ctx.current_settings.run_mode, RunMode::NoDevice);
    EXPECT_TRUE(ui.search_visible);
    EXPECT_EQ(ui.highlighted, 7);
    EXPECT_TRUE(scope->search().running());

    FakeWorker time;
    scope->set_worker(WorkerKind::Time, &time);
    scope->ReadTimerTimer(); // toggle A set: commit and dispatch
    scope->ReadTimerTimer();
    EXPECT_EQ(time.jobs, 1) << "every second tick without an instrument";
    EXPECT_EQ(time.last().frame_length, 6144u);
    EXPECT_EQ(time.last().frame_settings.a_volt_div, 3);
    EXPECT_EQ(time.last().frame_settings.b_position, -32);
    const Sample* d = scope->display_buffer();
    EXPECT_TRUE(std::all_of(d, d + 6144, [](Sample s) { return s >= 2 && s <= 252; }));

    // The search blinks and finds an instrument on Dev2.
    scope->search().tick();
    EXPECT_FALSE(ui.search_text_visible);
    lib.present[2] = true;
    scope->search().tick();
    EXPECT_FALSE(scope->search().running());
    EXPECT_FALSE(ui.search_visible);
    EXPECT_EQ(scope->link().connected_slot(), 2);
    EXPECT_EQ(ctx.current_settings.run_mode, RunMode::Auto);
}

TEST_F(EngineTest, EnterDemo) {
    lib.present[0] = false;
    scope->connect("Dev0");
    scope->search().enter_demo();
    EXPECT_EQ(ctx.current_settings.run_mode, RunMode::Demo);
    EXPECT_EQ(ctx.sent_settings.run_mode, RunMode::Demo);
    EXPECT_FALSE(scope->search().running());
    EXPECT_FALSE(ui.search_visible);
}

TEST_F(EngineTest, UnplugFallsBackToSearchingAndReplugKeepsTheSettings) {
    connect();
    ctx.current_settings.time_base = 9;
    ctx.current_settings.a_volt_div = 2;
    ASSERT_TRUE(scope->send_settings());
    tick_with(info_packet(51, 0));
    uint8_t last_seq_a = 0;
    for (const Command& c : lib.take_commands())
        if (c.reg == 162) last_seq_a = c.value;

    lib.unplugged = true;
    scope->ReadTimerTimer(); // the queue query fails: reconnect, which finds nothing
    EXPECT_FALSE(scope->link().connected());
    EXPECT_EQ(lib.open_handles, 0);
    EXPECT_EQ(ctx.current_settings.run_mode, RunMode::NoDevice);
    EXPECT_TRUE(scope->search().running());
    EXPECT_EQ(ui.caption, kBaseCaption);
    EXPECT_FALSE(scope->info_received);
    for (int i = 0; i < 5; ++i) scope->ReadTimerTimer(); // demo meanwhile, no crash
    scope->search().tick();
    EXPECT_TRUE(scope->search().running());

    lib.unplugged = false;
    scope->search().tick();
    ASSERT_TRUE(scope->link().connected());
    EXPECT_EQ(ctx.current_settings.time_base, 9);
    EXPECT_EQ(ctx.current_settings.a_volt_div, 2);
    const auto cmds = lib.take_commands();
    const int32_t code = time_base_code(9, ctx.device_model);
    EXPECT_NE(std::find(cmds.begin(), cmds.end(), Command{153, static_cast<uint8_t>(code & 0xFF)}), cmds.end());
    const auto seq = std::find_if(cmds.begin(), cmds.end(), [](const Command& c) { return c.reg == 162; });
    ASSERT_NE(seq, cmds.end());
    EXPECT_EQ(seq->value >> 4, ((last_seq_a >> 4) + 1) & 0x0F) << "the offset sequence counter runs on";
    tick_with(info_packet(51, 0));
    EXPECT_TRUE(scope->info_received) << "each connection handles one information packet";
}

TEST_F(EngineTest, FailedInitialisationClosesAndKeepsSearching) {
    lib.writes_before_failure = 0;
    EXPECT_FALSE(scope->connect("Dev0"));
    EXPECT_EQ(lib.open_handles, 0);
    EXPECT_FALSE(scope->link().connected());
    EXPECT_TRUE(scope->search().running());
    scope->search().tick();
    EXPECT_EQ(lib.open_handles, 0);
    EXPECT_EQ(ctx.current_settings.run_mode, RunMode::NoDevice);
    lib.writes_before_failure = -1;
    scope->search().tick();
    EXPECT_TRUE(scope->link().connected());
}

TEST_F(EngineTest, WorkersGetCopiesAndBusyOnesAreSkipped) {
    connect();
    FakeWorker time, peak, fft;
    scope->set_worker(WorkerKind::Time, &time);
    scope->set_worker(WorkerKind::Peak, &peak);
    scope->set_worker(WorkerKind::Fft, &fft);
    scope->controls.measure_panel_height = 26;
    ctx.user_prefs.a_colour = 0x123456;
    tick_with(flat_packet(3072, 10, 20));
    EXPECT_EQ(time.jobs, 1);
    EXPECT_EQ(peak.jobs, 1);
    EXPECT_EQ(fft.jobs, 0) << "the FFT window is hidden";
    EXPECT_EQ(peak.last().prefs.a_colour, 0x123456);
    EXPECT_EQ(peak.last().frame_settings.time_base, ctx.current_settings.time_base);

    // The time worker is still busy: skipped, and its copy is untouched by the next frame.
    peak.finish();
    scope->controls.fft_visible = true;
    tick_with(flat_packet(3072, 30, 40));
    EXPECT_EQ(time.jobs, 1);
    EXPECT_EQ(time.last().samples[0], 10);
    EXPECT_EQ(peak.jobs, 2);
    EXPECT_EQ(peak.last().samples[0], 30);
    EXPECT_EQ(fft.jobs, 1);

    scope->controls.measure_panel_height = 25;
    peak.finish();
    tick_with(flat_packet(3072, 50, 60));
    EXPECT_EQ(peak.jobs, 2) << "the measurement panel is too small";

    scope->stop();
    time.finish();
    tick_with(flat_packet(3072, 70, 80));
    EXPECT_EQ(time.jobs, 1) << "no hand-off while closing";
}

TEST_F(EngineTest, ClearRequestLastsThreeTicks) {
    lib.present[0] = false;
    scope->connect("Dev0");
    scope->clear_request = true;
    scope->ReadTimerTimer();
    scope->ReadTimerTimer();
    EXPECT_TRUE(scope->clear_request);
    scope->ReadTimerTimer();
    EXPECT_FALSE(scope->clear_request);
}
