// SPDX-License-Identifier: MIT
#include <functional>

#include "engine_fakes.h"

using namespace orv;
using namespace orv::test;

namespace {
std::vector<uint8_t> repeat(std::vector<uint8_t> head, uint8_t reg, int n, std::vector<uint8_t> tail) {
    for (int i = 0; i < n; ++i) head.push_back(reg);
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}
} // namespace

TEST_F(EngineTest, SendChangesSendsOnlyTheChangedGroupInOrder) {
    struct Case {
        const char* name;
        std::function<void(ScopeContext&)> change;
        std::vector<uint8_t> registers;
    } cases[] = {
        {"nothing", [](ScopeContext&) {}, {}},
        {"trigger source", [](ScopeContext& c) { c.current_settings.trigger_source = 1; }, {152, 155}},
        {"trigger edge", [](ScopeContext& c) { c.current_settings.trigger_edge = kTriggerEdgeFalling; }, {152, 155}},
        {"trigger level", [](ScopeContext& c) { c.current_settings.trigger_level = 10; }, {152}},
        {"invert preference", [](ScopeContext& c) { c.user_prefs.invert_b = 1; }, {152}},
        {"time base", [](ScopeContext& c) { c.current_settings.time_base = 8; }, {15, 153, 154, 15}},
        {"position", [](ScopeContext& c) { c.current_settings.b_position = -20; }, {164, 162, 165, 163}},
        {"volts/div", [](ScopeContext& c) { c.current_settings.a_volt_div = 5; },
         repeat({15, 164, 162, 165, 163, 161, 160, 161}, 15, 50, {15})},
        {"coupling", [](ScopeContext& c) { c.current_settings.b_coupling = kCouplingAC; },
         repeat({15, 164, 162, 165, 163, 161, 160, 161}, 15, 50, {15})},
        {"time base and level",
         [](ScopeContext& c) {
             c.current_settings.time_base = 9;
             c.current_settings.trigger_level = -3;
         },
         {15, 153, 154, 15, 152}},
    };
    connect();
    for (const auto& c : cases) {
        const ScopeContext saved = ctx;
        c.change(ctx);
        EXPECT_TRUE(scope->send_settings()) << c.name;
        const auto cmds = lib.take_commands();
        EXPECT_EQ(regs(cmds), c.registers) << c.name;
        EXPECT_TRUE(scope->send_settings());
        EXPECT_TRUE(lib.take_commands().empty()) << c.name << ": a second send has nothing to do";
        ctx.current_settings = saved.current_settings;
        ctx.user_prefs = saved.user_prefs;
        scope->send_settings();
        lib.take_commands();
    }
}

TEST_F(EngineTest, SendChangesValues) {
    connect();
    ctx.current_settings.trigger_source = 1;
    ctx.current_settings.trigger_level = 10;
    ASSERT_TRUE(scope->send_settings());
    EXPECT_EQ(lib.take_commands(), (std::vector<Command>{{152, 117}, {155, 3}}));

    ctx.current_settings.trigger_level = 127;
    ASSERT_TRUE(scope->send_settings());
    EXPECT_EQ(lib.take_commands(), (std::vector<Command>{{152, 0}}));

    ctx.current_settings.time_base = 8; // 2 ms/div on model 1: code 400
    ASSERT_TRUE(scope->send_settings());
    EXPECT_EQ(lib.take_commands(), (std::vector<Command>{{15, 0}, {153, 0x90}, {154, 0x01}, {15, 1}}));

    ctx.current_settings.time_base = 12; // streamed: the run code is 5
    refresh_derived(ctx, ctx.current_settings);
    ASSERT_TRUE(scope->send_settings());
    EXPECT_EQ(lib.take_commands().back(), (Command{15, 5}));
}

TEST_F(EngineTest, FrontEndBytesKeepTheCouplingBitOnGnd) {
    connect();
    auto relay_after = [&](int coupling) {
        ctx.current_settings.a_coupling = coupling;
        EXPECT_TRUE(scope->send_settings());
        auto cmds = lib.take_commands();
        return cmds[6].value; // the 160 command
    };
    EXPECT_EQ(relay_after(kCouplingAC) & 8, 0);
    EXPECT_EQ(relay_after(kCouplingGND) & 8, 0) << "GND after AC keeps AC";
    EXPECT_EQ(relay_after(kCouplingDC) & 8, 8);
    EXPECT_EQ(relay_after(kCouplingGND) & 8, 8) << "GND after DC keeps DC";
    // 5 V/div on both channels: attenuators 1 and 128, gains 0.
    EXPECT_EQ(scope->relay_byte_a() & ~0x18, 1 | 128);
}

TEST_F(EngineTest, TriggerPositionIsSignedAndClamped) {
    struct Case {
        int model;
        double percent;
        int32_t view_offset;
        int32_t expected;
    } cases[] = {
        {0, 50.0, 1536, 1539},  // the defaults on model 0
        {0, 50.0, 0, 3067},     // "View To Left": 3075 clamped, not a wrapped value
        {0, 0.0, 6144, 4},      // far below the lower clamp
        {1, 20.0, 1536, 789},
    };
    connect();
    for (const auto& c : cases) {
        ctx.device_model = c.model;
        ctx.current_settings.trigger_x_percent = c.percent;
        ctx.current_settings.view_offset = c.view_offset;
        EXPECT_EQ(scope->trigger_position(), c.expected);
        EXPECT_EQ(scope->pretrigger_entries(), 2u * static_cast<uint32_t>(c.expected));
        ASSERT_TRUE(scope->send_trigger_position());
        EXPECT_EQ(lib.take_commands(), (std::vector<Command>{{166, static_cast<uint8_t>(c.expected & 0xFF)},
                                                             {167, static_cast<uint8_t>(c.expected >> 8)}}));
    }
}

TEST_F(EngineTest, SendTimeBaseIncludesTheTriggerPositionAndClears) {
    connect();
    ctx.current_settings.time_base = 9;
    ASSERT_TRUE(scope->send_time_base());
    EXPECT_EQ(regs(lib.take_commands()), (std::vector<uint8_t>{15, 153, 154, 166, 167, 15}));
    EXPECT_TRUE(scope->send_time_base());
    EXPECT_TRUE(lib.take_commands().empty());
    set_mode(RunMode::Hold);
    ctx.current_settings.time_base = 10;
    EXPECT_TRUE(scope->send_time_base());
    EXPECT_TRUE(lib.take_commands().empty()) << "only in Auto, Normal and Single";
}

TEST_F(EngineTest, SendRunMode) {
    connect();
    struct Case {
        RunMode from, to;
        std::vector<Command> sent;
    } cases[] = {
        {RunMode::Hold, RunMode::Auto, {{15, 0}, {154, 0}, {153, 200}, {15, 1}}}, // 154 before 153
        {RunMode::Auto, RunMode::Normal, {{15, 0}, {154, 0}, {153, 200}, {15, 2}}},
        {RunMode::Auto, RunMode::Hold, {{15, 0}, {15, 0}}},
        {RunMode::Hold, RunMode::Demo, {}},
        {RunMode::Auto, RunMode::Auto, {}},
    };
    for (const auto& c : cases) {
        ctx.sent_settings.run_mode = c.from;
        ctx.current_settings.run_mode = c.to;
        ASSERT_TRUE(scope->send_run_mode());
        EXPECT_EQ(lib.take_commands(), c.sent) << int(c.from) << "->" << int(c.to);
        EXPECT_EQ(ctx.sent_settings.run_mode, c.to);
    }
}

TEST_F(EngineTest, FailedWriteStopsTheSequence) {
    connect();
    ctx.current_settings.a_volt_div = 2;
    lib.writes_before_failure = 3;
    EXPECT_FALSE(scope->send_settings());
    EXPECT_EQ(lib.commands.size(), 3u);
    EXPECT_NE(scope->link().link_status, 0u);
}
