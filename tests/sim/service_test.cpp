// SPDX-License-Identifier: MIT
#include "orblink_wire.h"
#include "sim/options.h"
#include "sim/simulator_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <sys/wait.h>

using namespace orv::sim;
namespace wire = orblink::wire;

namespace {

// The requests of the device library, spoken directly on the socket.
class Client {
public:
    explicit Client(const std::string& path) : fd_(wire::connect_device(path, 2000, &busy_)) {}
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool connected() const { return fd_ >= 0; }
    bool busy() const { return busy_; }

    // Status word of the reply, or -1 when the request failed on the wire.
    long ioctl(uint32_t index, std::vector<uint8_t> in, uint32_t out_size, std::vector<uint8_t>* out = nullptr) {
        wire::Header h{uint32_t(wire::Kind::Ioctl), wire::table_code(1, index), out_size, uint32_t(in.size())};
        if (!wire::send_message(fd_, h, in)) return -1;
        wire::Reply r;
        if (wire::receive_reply(fd_, wire::Kind::Ioctl, out_size, r, 3000) != wire::IoResult::Ok) return -1;
        if (out) *out = r.payload;
        return long(r.status);
    }
    long set(uint32_t index, std::initializer_list<uint32_t> words) {
        std::vector<uint8_t> in;
        for (uint32_t w : words)
            for (int i = 0; i < 4; ++i) in.push_back(uint8_t(w >> (8 * i)));
        return ioctl(index, in, 0);
    }
    uint32_t queued() {
        std::vector<uint8_t> out;
        if (ioctl(wire::kGetQueueStatus, {}, 12, &out) != 0 || out.size() < 4) return 0xFFFFFFFF;
        return out[0] | out[1] << 8 | out[2] << 16 | uint32_t(out[3]) << 24;
    }
    bool command(int reg, int value) {
        std::vector<uint8_t> b{uint8_t(value >> 4), uint8_t(0x40 | (value & 15)), uint8_t(0x80 | (reg & 15)), uint8_t(0xE0 | (reg >> 4))};
        wire::Header h{uint32_t(wire::Kind::Write), 0, 0, 4};
        if (!wire::send_message(fd_, h, b)) return false;
        wire::Reply r;
        return wire::receive_reply(fd_, wire::Kind::Write, 4, r, 3000) == wire::IoResult::Ok && r.status == 0 && r.count == 4;
    }
    std::optional<std::vector<uint8_t>> read(uint32_t max) {
        wire::Header h{uint32_t(wire::Kind::Read), max, 0, 0};
        if (!wire::send_message(fd_, h)) return std::nullopt;
        wire::Reply r;
        if (wire::receive_reply(fd_, wire::Kind::Read, max, r, 3000) != wire::IoResult::Ok || r.status != 0) return std::nullopt;
        return r.payload;
    }
    // What configure_link does after the open.
    bool configure() {
        return ioctl(wire::kResetPort, {}, 0) == 0 && set(wire::kSetLineSpeed, {115200}) == 0 &&
               ioctl(wire::kSetFraming, {0, 0, 8}, 0) == 0 && ioctl(wire::kSetHandshake, {0, 0, 0, 0}, 0) == 0 &&
               ioctl(wire::kSetSpecialChars, {0, 0, 0, 0}, 0) == 0 && set(wire::kSetNotification, {1, 0, 0, 0}) == 0 &&
               ioctl(wire::kAssertDtr, {}, 0) == 0 && ioctl(wire::kAssertRts, {}, 0) == 0 &&
               set(wire::kSetTimeouts, {400, 400}) == 0 && set(wire::kPurge, {3}) == 0;
    }

private:
    bool busy_ = false;
    int fd_ = -1;
};

SimulatorOptions virtual_options() {
    SimulatorOptions o;
    o.virtual_clock = true;
    o.quiet = true;
    o.devices[0].instrument.id = default_id(0);
    return o;
}

// Reads everything the queue reports until `want` bytes came or the queue stays empty.
std::vector<uint8_t> read_some(Client& c, std::size_t want) {
    std::vector<uint8_t> all;
    for (int i = 0; i < 200 && all.size() < want; ++i) {
        uint32_t q = c.queued();
        if (q == 0 || q == 0xFFFFFFFF) break;
        auto got = c.read(std::min<uint32_t>(q, 256));
        if (!got) break;
        all.insert(all.end(), got->begin(), got->end());
    }
    return all;
}

} // namespace

TEST(Service, AnswersTheLibrarysRequestsAndServesTheInitialisationSequence) {
    auto host = SimulatorHost::start(virtual_options());
    ASSERT_TRUE(host);
    Client c(host->device_path());
    ASSERT_TRUE(c.connected());
    Client second(host->device_path());
    EXPECT_FALSE(second.connected());
    EXPECT_TRUE(second.busy());

    std::vector<uint8_t> info(104);
    info[0] = 17;
    ASSERT_EQ(c.ioctl(wire::kDeviceInfo, info, 104, &info), 0);
    auto di = wire::decode_device_info(info);
    EXPECT_EQ(di.status, 0u);
    EXPECT_EQ(di.chip_code, 0x40360011u);
    EXPECT_STRNE(di.serial, "");
    EXPECT_STRNE(di.description, "");
    std::vector<uint8_t> text;
    EXPECT_EQ(c.ioctl(wire::kIdentityText1, std::vector<uint8_t>(64), 64, &text), 0);
    EXPECT_NE(text.at(0), 0);

    ASSERT_TRUE(c.configure());
    std::vector<uint8_t> state;
    ASSERT_EQ(c.ioctl(wire::kGetLineState, {0, 0, 0, 0}, 4, &state), 0);
    EXPECT_EQ(state.at(0) & 0x30, 0x30); // CTS and DSR

    // The start of init_instrument: the first command after the purge brings the information
    // packet; the run command brings data.
    ASSERT_TRUE(c.command(15, 0));
    ASSERT_TRUE(c.command(156, 0));
    auto first = read_some(c, 10);
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first[2], 67);
    for (auto [r, v] : {std::pair{15, 0}, {170, 0}, {13, 0}, {154, 1}, {153, 144}, {161, 0}, {160, 0x49}, {161, 0x81}, {15, 1}, {161, 24}})
        ASSERT_TRUE(c.command(r, v));
    auto data = read_some(c, 6147);
    ASSERT_GE(data.size(), 6147u);
    EXPECT_EQ(data[0] | data[1] << 8, 6147);
    EXPECT_EQ(data[2], 223);
}

TEST(Service, ReadsHonourTheTimeOutAndRegistersOutliveTheConnection) {
    auto host = SimulatorHost::start(virtual_options());
    ASSERT_TRUE(host);
    {
        Client c(host->device_path());
        ASSERT_TRUE(c.configure());
        ASSERT_TRUE(c.set(wire::kSetTimeouts, {30, 30}) == 0);
        auto nothing = c.read(100); // stopped: nothing comes, and the read still returns
        ASSERT_TRUE(nothing);
        EXPECT_TRUE(nothing->empty());
        ASSERT_TRUE(c.command(153, 144));
        ASSERT_TRUE(c.command(154, 1));
        ASSERT_TRUE(c.command(15, 4));
    }
    // A new client finds the instrument still running.
    Client c(host->device_path());
    ASSERT_TRUE(c.configure());
    auto data = read_some(c, 6147);
    ASSERT_GE(data.size(), 6147u);
    EXPECT_EQ(data[2], 223);
}

TEST(Service, UnplugFailsTheNextRequestAndReplugIsAFreshDevice) {
    auto host = SimulatorHost::start(virtual_options());
    ASSERT_TRUE(host);
    Client c(host->device_path());
    ASSERT_TRUE(c.configure());
    host->unplug();
    for (int i = 0; i < 200 && host->plugged(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(c.queued(), 0xFFFFFFFFu);
    EXPECT_FALSE(std::filesystem::exists(host->device_path()));
    host->replug();
    for (int i = 0; i < 200 && !host->plugged(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Client again(host->device_path());
    EXPECT_TRUE(again.connected());
}

TEST(Service, TwoInstrumentsIdentifyThemselvesDifferently) {
    auto o = virtual_options();
    o.virtual_clock = false; // a stopped instrument on wall time: the read below waits it out
    o.devices.push_back(o.devices[0]);
    o.devices[1].instrument.id = default_id(1);
    auto host = SimulatorHost::start(o);
    ASSERT_TRUE(host);
    Client a(host->device_path(0)), b(host->device_path(1));
    ASSERT_TRUE(a.configure() && b.configure());
    // A read that waits out its time-out on one device does not hold up the other.
    ASSERT_EQ(a.set(wire::kSetTimeouts, {800, 400}), 0);
    std::atomic<bool> a_done{false};
    std::thread slow([&] {
        a.read(100);
        a_done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(b.command(15, 0));
    auto info_b = read_some(b, 10);
    EXPECT_FALSE(a_done.load());
    slow.join();
    ASSERT_EQ(a.set(wire::kSetTimeouts, {400, 400}), 0);
    ASSERT_TRUE(a.command(15, 0));
    auto info_a = read_some(a, 10);
    ASSERT_EQ(info_a.size(), 10u);
    ASSERT_EQ(info_b.size(), 10u);
    EXPECT_NE(info_a, info_b);
}

TEST(Service, ScheduledUnplugAndReplug) {
    auto o = virtual_options();
    o.devices[0].unplug_after_s = 0.05;
    o.devices[0].replug_after_s = 0.05;
    auto host = SimulatorHost::start(o);
    ASSERT_TRUE(host);
    Client c(host->device_path());
    ASSERT_TRUE(c.configure());
    ASSERT_TRUE(c.command(153, 144));
    auto wait_for = [&](bool state) {
        for (int i = 0; i < 400 && host->plugged() != state; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return host->plugged() == state;
    };
    ASSERT_TRUE(wait_for(false));
    EXPECT_FALSE(c.command(15, 1)); // the library sees a failed request and reconnects
    ASSERT_TRUE(wait_for(true));
    Client again(host->device_path());
    EXPECT_TRUE(again.connected());
}

TEST(Service, HostRemovesItsPrivateDirectory) {
    std::string dir;
    {
        auto host = SimulatorHost::start(3);
        ASSERT_TRUE(host);
        dir = host->directory();
        EXPECT_TRUE(std::filesystem::exists(host->device_path()));
    }
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(Options, ParseTheDaemonsCommandLine) {
    auto r = parse_options({"--count", "2", "--model=3", "--device", "1", "--id", "1,2,3,4,5", "--frame", "5003",
                            "--signal-a", "square:2000:1.5:0.25", "--channel-fault", "b:dead", "--virtual-clock"});
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.options.devices.size(), 2u);
    EXPECT_EQ(r.options.devices[0].instrument.model, 3);
    EXPECT_EQ(r.options.devices[1].instrument.model, 3);
    EXPECT_EQ(r.options.devices[0].instrument.id, default_id(0));
    EXPECT_NE(default_id(0), default_id(1));
    EXPECT_EQ(r.options.devices[1].instrument.id, (std::array<uint8_t, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(r.options.devices[1].instrument.frame_bytes, 5003);
    EXPECT_EQ(r.options.devices[0].instrument.frame_bytes, 6147);
    EXPECT_EQ(r.options.devices[1].instrument.signal[0].kind, SignalKind::Square);
    EXPECT_DOUBLE_EQ(r.options.devices[1].instrument.signal[0].offset_v, 0.25);
    EXPECT_EQ(r.options.devices[1].instrument.channel_fault[1], ChannelFault::Dead);
    EXPECT_TRUE(r.options.virtual_clock);
    auto bytes = parse_logic("uart:9600:0x55,0xAA,13");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->text, std::string("\x55\xAA\x0D"));
    EXPECT_EQ(parse_logic("uart:9600:hi")->text, "hi");

    for (std::vector<std::string> bad : {std::vector<std::string>{"--model", "6"}, {"--frame", "6000"}, {"--id", "1,2,3,4"},
                                         {"--id", "1,2,3,4,5,6"}, {"--signal-a", "saw:1:1"}, {"--signal-b", "sine:x:1"},
                                         {"--channel-fault", "c:dead"}, {"--garbage-every", "0"}, {"--count", "5"},
                                         {"--device", "1"}, {"--variant", "50"}, {"--logic-a", "uart:9600"}, {"--logic-b", "uart:9600:0x100"}, {"--bogus", "1"}, {"--dir"}})
        EXPECT_FALSE(parse_options(bad).ok) << bad[0];
}

TEST(Daemon, ServesTheDirectoryAndLogsRegisterWrites) {
    const char* bin = std::getenv("ORV_PROGRAM_DIR");
    std::string exe = std::string(bin ? bin : "") + "/rtm5800-sim";
    if (!bin || !std::filesystem::exists(exe)) GTEST_SKIP() << "rtm5800-sim not built";
    auto dir = std::filesystem::temp_directory_path() / ("sim-daemon-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string log = (dir / "regs.txt").string();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(exe.c_str(), exe.c_str(), "--dir", dir.c_str(), "--virtual-clock", "--quiet", "--log-registers",
                log.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string sock = (dir / "dev0").string();
    for (int i = 0; i < 400 && !std::filesystem::exists(sock); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    {
        Client c(sock);
        ASSERT_TRUE(c.connected());
        ASSERT_TRUE(c.configure());
        ASSERT_TRUE(c.command(160, 73));
        EXPECT_EQ(read_some(c, 10).size(), 10u);
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    double t;
    int reg, value;
    std::istringstream first(text.str());
    ASSERT_TRUE(first >> t >> reg >> value);
    EXPECT_EQ(reg, 160);
    EXPECT_EQ(value, 73);
    EXPECT_NE(text.str().find("# dropped 0"), std::string::npos);
    std::filesystem::remove_all(dir);
}
