// SPDX-License-Identifier: MIT
// The library against real device services on Unix-domain sockets in a temporary directory.
#include "devlib/src/driver_socket.h"
#include "fake_driver.h"
#include "orblink_service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace orblink;
namespace fs = std::filesystem;

namespace {

// A device that echoes nothing: it queues what the test pushes and keeps what the client writes.
class TestDevice final : public wire::BasicDevice {
public:
    using BasicDevice::BasicDevice;

    void push(std::vector<uint8_t> bytes) {
        std::lock_guard lock(m_);
        rx_.insert(rx_.end(), bytes.begin(), bytes.end());
    }
    std::vector<uint8_t> written() {
        std::lock_guard lock(m_);
        return tx_;
    }

protected:
    std::size_t read_data(uint8_t* dst, std::size_t max, uint32_t wait_ms) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
        for (;;) {
            {
                std::lock_guard lock(m_);
                if (rx_.size() >= max || std::chrono::steady_clock::now() >= deadline) {
                    const std::size_t n = std::min(max, rx_.size());
                    std::copy_n(rx_.begin(), n, dst);
                    rx_.erase(rx_.begin(), rx_.begin() + std::ptrdiff_t(n));
                    return n;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::size_t write_data(std::span<const uint8_t> data, uint32_t) override {
        std::lock_guard lock(m_);
        tx_.insert(tx_.end(), data.begin(), data.end());
        return data.size();
    }
    uint32_t queued_bytes() override {
        std::lock_guard lock(m_);
        return uint32_t(rx_.size());
    }

private:
    std::mutex m_;
    std::deque<uint8_t> rx_;
    std::vector<uint8_t> tx_;
};

// One device socket served on its own thread.
class Service {
public:
    Service(const std::string& path, wire::DeviceIdentity identity) : device(std::move(identity)) {
        std::string error;
        server_ = wire::DeviceServer::listen(path, &error);
        EXPECT_TRUE(server_) << error;
        thread_ = std::thread([this] {
            while (!stop_) {
                server_->poll_once(device, 5);
                if (unplug_.exchange(false)) server_->drop_client(device);
            }
        });
    }
    ~Service() { stop(); }
    // The service goes away: sockets closed, socket file removed.
    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        server_.reset();
    }
    void unplug() {
        unplug_ = true;
        while (unplug_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    TestDevice device;

private:
    std::unique_ptr<wire::DeviceServer> server_;
    std::thread thread_;
    std::atomic<bool> stop_{false}, unplug_{false};
};

class SocketDevices : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orblink-test-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ::setenv("ORBLINK_DEVICE_DIR", dir_.c_str(), 1);
        install_driver(nullptr);
    }
    void TearDown() override {
        orblink::testing::close_all_handles();
        services_.clear();
        ::unsetenv("ORBLINK_DEVICE_DIR");
        fs::remove_all(dir_);
    }
    Service& serve(const std::string& name, int generation = 1, uint32_t number = 0) {
        wire::DeviceIdentity id;
        id.generation = generation;
        id.serial = "SN-" + name;
        id.identity1 = name;
        id.identity_number = number;
        services_.push_back(std::make_unique<Service>(dir_ + "/" + name, id));
        return *services_.back();
    }
    std::string dir_;
    std::vector<std::unique_ptr<Service>> services_;
};

TEST_F(SocketDevices, ConfigureWriteAndReadThroughTheService) {
    Service& s = serve("dev0");
    serve("dev1", 2);
    fs::create_directory(dir_ + "/not-a-device");

    uint32_t count = 0;
    ASSERT_EQ(OB_CountDevices(&count), OB_SUCCESS);
    EXPECT_EQ(count, 2u) << "only sockets count";

    OB_HANDLE h = nullptr;
    ASSERT_EQ(OB_OpenIndex(0, &h), OB_SUCCESS);
    struct stat st;
    ASSERT_EQ(::stat((dir_ + "/dev0").c_str(), &st), 0);
    EXPECT_EQ(h->dev_inst, uint32_t(st.st_ino));
    EXPECT_EQ(h->request_table, request_table(1));
    EXPECT_STREQ(reinterpret_cast<char*>(h->info), "SN-dev0");

    // What the application's link set-up sends, and what the service keeps of it.
    EXPECT_EQ(OB_ResetPort(h), OB_SUCCESS);
    EXPECT_EQ(OB_SetLineSpeed(h, 115200), OB_SUCCESS);
    EXPECT_EQ(OB_SetLineSpeed(h, 1), OB_SPEED_REFUSED);
    EXPECT_EQ(OB_SetFraming(h, 8, 2, 1), OB_SUCCESS);
    EXPECT_EQ(OB_SetHandshake(h, OB_HANDSHAKE_RTS_CTS, 0x11, 0x13), OB_SUCCESS);
    EXPECT_EQ(OB_SetSpecialChars(h, 0, 0, 0, 0), OB_SUCCESS);
    EXPECT_EQ(OB_SetNotification(h, 0, 0), OB_SUCCESS);
    EXPECT_EQ(OB_AssertDtr(h), OB_SUCCESS);
    EXPECT_EQ(OB_AssertRts(h), OB_SUCCESS);
    EXPECT_EQ(OB_SetIoTimeouts(h, 400, 300), OB_SUCCESS);
    EXPECT_EQ(OB_PurgeBuffers(h, 3), OB_SUCCESS);
    uint32_t state = 0;
    EXPECT_EQ(OB_GetLineState(h, &state), OB_SUCCESS);
    EXPECT_EQ(state, OB_LINE_CTS | OB_LINE_DSR);
    const wire::LineSettings& line = s.device.line();
    EXPECT_EQ(line.baud, 115200u);
    EXPECT_EQ(line.word_length, 8);
    EXPECT_EQ(line.stop_bits, 2);
    EXPECT_EQ(line.parity, 1);
    EXPECT_EQ(line.handshake, 0x100);
    EXPECT_TRUE(line.dtr && line.rts);
    EXPECT_EQ(line.read_timeout_ms, 400u);
    EXPECT_EQ(line.write_timeout_ms, 300u);

    const uint8_t cmd[4] = {0x00, 0x42, 0x8F, 0xE0};
    uint32_t put = 0;
    EXPECT_EQ(OB_WriteData(h, cmd, 4, &put), OB_SUCCESS);
    EXPECT_EQ(put, 4u);
    EXPECT_EQ(s.device.written(), std::vector<uint8_t>(cmd, cmd + 4));
    // The comm-style write completes at once here; its overlapped result is that write.
    uint32_t transferred = 0;
    EXPECT_EQ(OB_CommWrite(h, cmd, 3, &put, nullptr), OB_SUCCESS);
    EXPECT_EQ(OB_CommGetOverlappedResult(h, nullptr, &transferred, 1), OB_SUCCESS);
    EXPECT_EQ(transferred, 3u);

    std::vector<uint8_t> packet(300);
    for (std::size_t i = 0; i < packet.size(); ++i) packet[i] = uint8_t(i * 7);
    s.device.push(packet);
    uint32_t rx = 0, tx = 0, ev = 0;
    EXPECT_EQ(OB_GetQueueStatus(h, &rx, &tx, &ev), OB_SUCCESS);
    EXPECT_EQ(rx, 300u);
    std::vector<uint8_t> got;
    uint8_t chunk[256];
    while (got.size() < packet.size()) {
        uint32_t n = 0;
        // As the application does: ask only for what is queued, so no read waits.
        const auto want = uint32_t(std::min(sizeof chunk, packet.size() - got.size()));
        ASSERT_EQ(OB_ReadData(h, chunk, want, &n), OB_SUCCESS);
        ASSERT_GT(n, 0u);
        got.insert(got.end(), chunk, chunk + n);
    }
    EXPECT_EQ(got, packet);

    // The older driver generation on dev1.
    OB_HANDLE old = nullptr;
    ASSERT_EQ(OB_OpenIndex(1, &old), OB_SUCCESS);
    EXPECT_EQ(old->request_table, request_table(2));
    EXPECT_STREQ(reinterpret_cast<char*>(old->info), "SN-dev1");
    EXPECT_EQ(OB_AssertRts(old), OB_SUCCESS);
}

TEST_F(SocketDevices, ReadWithNothingQueuedTimesOutEmpty) {
    serve("dev0");
    OB_HANDLE h = nullptr;
    ASSERT_EQ(OB_OpenIndex(0, &h), OB_SUCCESS);
    ASSERT_EQ(OB_SetIoTimeouts(h, 30, 30), OB_SUCCESS);
    uint8_t buf[16];
    uint32_t got = 99;
    EXPECT_EQ(OB_ReadData(h, buf, sizeof buf, &got), OB_SUCCESS);
    EXPECT_EQ(got, 0u);
}

TEST_F(SocketDevices, ASecondClientIsRefusedUntilTheFirstCloses) {
    serve("dev0");
    serve("dev1");
    OB_HANDLE first = nullptr, second = nullptr;
    ASSERT_EQ(OB_OpenIndex(0, &first), OB_SUCCESS);
    EXPECT_EQ(OB_OpenIndex(0, &second), OB_BAD_HANDLE);
    bool busy = false;
    EXPECT_EQ(wire::connect_device(dir_ + "/dev0", 2000, &busy), -1) << "another program";
    EXPECT_TRUE(busy);
    EXPECT_EQ(OB_OpenIndex(1, &second), OB_SUCCESS) << "the application moves on to Dev1";

    // The device list finds the open device by its instance number.
    uint32_t count = 0;
    ASSERT_EQ(OB_BuildDeviceList(&count), OB_SUCCESS);
    ASSERT_EQ(count, 2u);
    OB_DEVICE_LIST_ENTRY e;
    ASSERT_EQ(OB_GetDeviceListEntry(0, &e), OB_SUCCESS);
    EXPECT_EQ(e.flags, OB_DEVICE_OPEN_HERE);
    EXPECT_EQ(e.handle, uint64_t(reinterpret_cast<uintptr_t>(first)));
    EXPECT_STREQ(e.serial, "SN-dev0");

    EXPECT_EQ(OB_CloseDevice(first), OB_SUCCESS);
    // The service notices the hang-up on its next poll; the open after it gets the device.
    OB_HANDLE again = nullptr;
    OB_STATUS s = OB_BAD_HANDLE;
    for (int i = 0; i < 200 && s != OB_SUCCESS; ++i) {
        s = OB_OpenIndex(0, &again);
        if (s != OB_SUCCESS) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(s, OB_SUCCESS);
}

TEST_F(SocketDevices, AVanishedServiceFailsRequestsWithoutHangingOrSigpipe) {
    Service& s0 = serve("dev0");
    Service& s1 = serve("dev1");
    OB_HANDLE h0 = nullptr, h1 = nullptr;
    ASSERT_EQ(OB_OpenIndex(0, &h0), OB_SUCCESS);
    ASSERT_EQ(OB_OpenIndex(1, &h1), OB_SUCCESS);

    s0.unplug(); // the service hangs up on its client
    s1.stop();   // the service exits
    const uint8_t cmd[4] = {1, 2, 3, 4};
    for (OB_HANDLE h : {h0, h1}) {
        uint32_t put = 99, rx, tx, ev;
        EXPECT_EQ(OB_WriteData(h, cmd, 4, &put), OB_REQUEST_FAILED);
        EXPECT_EQ(put, 0u);
        EXPECT_EQ(OB_GetQueueStatus(h, &rx, &tx, &ev), OB_REQUEST_FAILED);
        EXPECT_EQ(OB_CloseDevice(h), OB_SUCCESS);
    }
    OB_HANDLE h = nullptr;
    EXPECT_EQ(OB_OpenIndex(1, &h), OB_NO_SUCH_DEVICE) << "its socket file is gone";

    // A socket file left behind by a crashed service: present, but it cannot be opened.
    int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = dir_ + "/dev9";
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(stale);
    EXPECT_EQ(OB_OpenIndex(1, &h), OB_BAD_HANDLE);

    // A hung service: it listens but never accepts, so no hello comes; the open gives up.
    const std::string hung_path = dir_ + "/dev8";
    std::memcpy(addr.sun_path, hung_path.c_str(), hung_path.size() + 1);
    int hung = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(hung, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(hung, 1), 0);
    EXPECT_EQ(OB_OpenIndex(1, &h), OB_BAD_HANDLE);
    ::close(hung);
}

// Replies the library must treat as a failed request: never a crash, an over-read or a hang.
TEST(SocketReplies, MalformedOrMissingRepliesFailAndHangUp) {
    auto header = [](uint32_t kind, uint32_t a, uint32_t b, uint32_t length, uint32_t magic = wire::kMagic) {
        std::vector<uint8_t> out(wire::kHeaderSize);
        wire::encode_header(wire::Header{kind, a, b, length}, out.data());
        out[0] = uint8_t(magic);
        return out;
    };
    auto with_payload = [](std::vector<uint8_t> h, std::size_t n) {
        h.resize(h.size() + n, 0xAB);
        return h;
    };
    enum Op { Control, Read, Write };
    struct Case {
        const char* name;
        Op op;
        std::vector<uint8_t> reply;
        bool close_after; // false: the service stays silent
    };
    const std::vector<Case> cases = {
        {"wrong magic", Control, header(0x82, 0, 0, 0, 0x00), true},
        {"reply of another kind", Control, header(0x83, 0, 0, 0), true},
        {"output longer than asked", Control, with_payload(header(0x82, 0, 0, 9), 9), true},
        {"length beyond the maximum", Control, header(0x82, 0, 0, wire::kMaxPayload + 1), true},
        {"payload cut short", Control, with_payload(header(0x82, 0, 0, 4), 2), true},
        {"header cut short", Read, std::vector<uint8_t>(7, 0), true},
        {"more data than asked", Read, with_payload(header(0x83, 0, 0, 17), 17), true},
        {"write count above what was sent", Write, header(0x84, 0, 5, 0), true},
        {"write reply with payload", Write, with_payload(header(0x84, 0, 4, 1), 1), true},
        {"hung up", Read, {}, true},
        {"silent", Read, {}, false},
    };
    for (const auto& c : cases) {
        int fds[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        auto conn = make_socket_connection(fds[0]);
        ASSERT_TRUE(wire::write_all(fds[1], c.reply.data(), c.reply.size()) || c.reply.empty());
        if (c.close_after) ::shutdown(fds[1], SHUT_WR);
        uint8_t buf[16] = {};
        uint32_t n = 99;
        bool ok = true;
        switch (c.op) {
        case Control: ok = conn->control(0x220168, buf, 4, buf, 8, &n); break;
        case Read: ok = conn->read(buf, 16, &n); break;
        case Write: ok = conn->write(buf, 4, &n); break;
        }
        EXPECT_FALSE(ok) << c.name;
        EXPECT_EQ(n, 0u) << c.name;
        // The stream is out of step now: later requests fail without waiting.
        EXPECT_FALSE(conn->control(0x220004, nullptr, 0, nullptr, 0, &n)) << c.name;
        ::close(fds[1]);
    }
}

TEST(SocketReplies, StatusWordsAndShortOutput) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    auto conn = make_socket_connection(fds[0]);
    auto send = [&](uint32_t kind, uint32_t a, uint32_t b, std::vector<uint8_t> payload) {
        ASSERT_TRUE(wire::send_message(fds[1], wire::Header{kind, a, b, 0}, payload));
    };
    uint8_t out[8];
    uint32_t n = 0;
    send(0x82, 1, 0, {});
    EXPECT_FALSE(conn->control(0x220004, nullptr, 0, out, 8, &n)) << "rejected request";
    send(0x82, 0, 0, {1, 2});
    EXPECT_TRUE(conn->control(0x220168, nullptr, 0, out, 8, &n)) << "the stream stays usable";
    EXPECT_EQ(n, 2u);
    send(0x83, 5, 0, {9, 9, 9});
    EXPECT_FALSE(conn->read(out, 8, &n)) << "a failed read that moved bytes";
    EXPECT_EQ(n, 3u);
    send(0x84, 0, 4, {});
    EXPECT_TRUE(conn->write(out, 4, &n));
    EXPECT_EQ(n, 4u);
    ::close(fds[1]);
}

TEST(Wire, HeadersAndRequestCodes) {
    uint8_t raw[wire::kHeaderSize];
    wire::encode_header(wire::Header{2, 0x220198, 104, 104}, raw);
    auto h = wire::decode_header(raw);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->kind, 2u);
    EXPECT_EQ(h->a, 0x220198u);
    EXPECT_EQ(h->length, 104u);
    EXPECT_FALSE(wire::decode_header(std::span<const uint8_t>(raw, 19)));

    EXPECT_EQ(wire::request_index(1, 0x220198), std::optional<uint32_t>(102));
    EXPECT_EQ(wire::request_index(2, 0x220998), std::optional<uint32_t>(102));
    EXPECT_FALSE(wire::request_index(2, 0x220198)) << "generations never share a code";
    EXPECT_FALSE(wire::request_index(1, 0x2201C0)) << "index 112 is past the table";
    EXPECT_FALSE(wire::request_index(1, 0x220002));

    // Texts without terminators come back terminated.
    std::vector<uint8_t> info(wire::kDeviceInfoSize, 'x');
    auto decoded = wire::decode_device_info(info);
    EXPECT_EQ(std::strlen(decoded.serial), 15u);
    EXPECT_EQ(std::strlen(decoded.description), 63u);
}

} // namespace
