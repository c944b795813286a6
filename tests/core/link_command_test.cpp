// SPDX-License-Identifier: MIT
#include "core/scope/register_command.h"
#include "engine_fakes.h"

using namespace orv;
using namespace orv::test;

TEST(LinkCommand, RegisterBytes) {
    struct Case {
        uint8_t reg, value;
        std::array<uint8_t, 4> bytes;
    } cases[] = {
        {15, 2, {0x00, 0x42, 0x8F, 0xE0}},
        {15, 0, {0x00, 0x40, 0x8F, 0xE0}},
        {152, 127, {0x07, 0x4F, 0x88, 0xE9}},
        {167, 6, {0x00, 0x46, 0x87, 0xEA}},
        {255, 255, {0x0F, 0x4F, 0x8F, 0xEF}},
        {0, 0, {0x00, 0x40, 0x80, 0xE0}},
    };
    for (const auto& c : cases) EXPECT_EQ(command_bytes(c.reg, c.value), c.bytes) << int(c.reg) << "," << int(c.value);
}

TEST(LinkCommand, OffsetSequenceNibbleCountsEveryWritePerChannel) {
    FakeLibrary lib;
    DeviceLink link(lib);
    ASSERT_TRUE(link.open_device("Dev0"));
    link.attach(0, &lib);
    std::vector<uint8_t> high_a;
    for (int i = 0; i < 17; ++i) {
        link.send_offsets(0x0ABC, 0x0123);
        const auto cmds = lib.take_commands();
        ASSERT_EQ(regs(cmds), (std::vector<uint8_t>{164, 162, 165, 163}));
        EXPECT_EQ(cmds[0].value, 0xBC);
        EXPECT_EQ(cmds[2].value, 0x23);
        EXPECT_EQ(cmds[1].value & 0x0F, 0x0A);
        EXPECT_EQ(cmds[3].value & 0x0F, 0x01);
        EXPECT_EQ(cmds[1].value >> 4, cmds[3].value >> 4);
        high_a.push_back(static_cast<uint8_t>(cmds[1].value >> 4));
    }
    EXPECT_EQ(high_a[0], 1);  // the first write after start
    EXPECT_EQ(high_a[14], 15);
    EXPECT_EQ(high_a[15], 0); // the sixteenth wraps
    EXPECT_EQ(high_a[16], 1);
}

TEST(LinkCommand, NoInstrumentMeansNoWriteAndStatus4) {
    FakeLibrary lib;
    DeviceLink link(lib);
    EXPECT_FALSE(link.send_command(15, 0));
    EXPECT_EQ(link.link_status, 4u);
    EXPECT_TRUE(lib.commands.empty());
}

TEST(LinkOpen, ConfiguresTheLinkInOrder) {
    FakeLibrary lib;
    DeviceLink link(lib);
    ASSERT_TRUE(link.open_device("Dev0"));
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"reset", "speed 115200", "framing 8 0 0", "handshake 0 0 0",
                                                   "chars 0 0 0 0", "notify 0", "dtr on", "rts on",
                                                   "timeouts 400 400", "purge 3"}));
    EXPECT_EQ(link.slot(0).cts, 1);
    EXPECT_EQ(link.slot(0).dsr, 1);
    EXPECT_FALSE(link.connected()) << "attach makes it the connected slot";
}

TEST(LinkOpen, RefusesBadNamesTakenSlotsAndMissingDevices) {
    FakeLibrary lib;
    DeviceLink link(lib);
    for (const char* name : {"Dev4", "Dev", "dev0", "Dev00", "Dev-1", "Dev9", ""})
        EXPECT_FALSE(link.open_device(name)) << name;
    EXPECT_TRUE(lib.calls.empty()) << "a refused name never reaches the library";
    EXPECT_FALSE(link.open_device("Dev1")); // not present

    ASSERT_TRUE(link.open_device("Dev0"));
    link.attach(0, &lib);
    EXPECT_FALSE(link.open_device("Dev0")) << "slot already owned";
    link.close_connected();
    EXPECT_EQ(lib.open_handles, 0);
    EXPECT_TRUE(link.open_device("Dev0")) << "a freed slot opens again";
}

TEST(LinkOpen, FailedConfigurationClosesTheHandle) {
    struct RefusingSpeed : FakeLibrary {
        LibStatus set_line_speed(DeviceHandle, uint32_t) override { return 7; }
    } lib;
    DeviceLink link(lib);
    EXPECT_FALSE(link.open_device("Dev0"));
    EXPECT_EQ(lib.open_handles, 0);
}

TEST(LinkOpen, BaudTable) {
    EXPECT_EQ(baud_rate(0), 300u);
    EXPECT_EQ(baud_rate(9), 57600u);
    EXPECT_EQ(baud_rate(10), 115200u);
    EXPECT_EQ(baud_rate(11), 230400u);
    EXPECT_EQ(baud_rate(13), 921600u);
    EXPECT_EQ(baud_rate(-3), 115200u);
}
