// SPDX-License-Identifier: MIT
// Linux driver layer: devices are the sockets of a device service (docs/device-protocol.md).
#include "driver_socket.h"

#include "orblink_wire.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orblink {
namespace {

namespace wire = orblink::wire;

// Time a service gets beyond the time-out it applies itself, before we give up on it.
constexpr int kGuardMs = 2000;

uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

class SocketConnection final : public Connection {
public:
    explicit SocketConnection(int fd) : fd_(fd) {}
    ~SocketConnection() override { hang_up(); }

    bool control(uint32_t code, const void* in, uint32_t in_size, void* out, uint32_t out_size,
                 uint32_t* returned) override {
        *returned = 0;
        if (fd_ < 0) return false;
        // The time-outs pass through here on their way to the service; remember them to know
        // how long a read or write may take.
        uint32_t read_to = read_timeout_, write_to = write_timeout_;
        note_timeouts(code, static_cast<const uint8_t*>(in), in_size, read_to, write_to);
        wire::Header h{uint32_t(wire::Kind::Ioctl), code, out_size, 0};
        if (!wire::send_message(fd_, h, {static_cast<const uint8_t*>(in), in ? in_size : 0},
                                kGuardMs))
            return fail();
        wire::Reply reply;
        if (wire::receive_reply(fd_, wire::Kind::Ioctl, out_size, reply, kGuardMs) !=
            wire::IoResult::Ok)
            return fail();
        if (reply.status != 0) return false;
        if (reply.count) std::memcpy(out, reply.payload.data(), reply.count);
        *returned = reply.count;
        read_timeout_ = read_to;
        write_timeout_ = write_to;
        return true;
    }

    bool read(void* buffer, uint32_t count, uint32_t* got) override {
        *got = 0;
        last_transfer_ = 0;
        if (fd_ < 0) return false;
        count = std::min(count, wire::kMaxPayload);
        if (count == 0) return true;
        if (!wire::send_message(fd_, wire::Header{uint32_t(wire::Kind::Read), count, 0, 0}, {},
                                kGuardMs))
            return fail();
        wire::Reply reply;
        if (wire::receive_reply(fd_, wire::Kind::Read, count, reply, guard(read_timeout_)) !=
            wire::IoResult::Ok)
            return fail();
        if (reply.count) std::memcpy(buffer, reply.payload.data(), reply.count);
        *got = last_transfer_ = reply.count;
        return reply.status == 0;
    }

    bool write(const void* buffer, uint32_t count, uint32_t* put) override {
        *put = 0;
        last_transfer_ = 0;
        if (fd_ < 0) return false;
        count = std::min(count, wire::kMaxPayload);
        if (!wire::send_message(fd_, wire::Header{uint32_t(wire::Kind::Write), 0, 0, 0},
                                {static_cast<const uint8_t*>(buffer), count},
                                guard(write_timeout_)))
            return fail();
        wire::Reply reply;
        if (wire::receive_reply(fd_, wire::Kind::Write, count, reply, guard(write_timeout_)) !=
            wire::IoResult::Ok)
            return fail();
        *put = last_transfer_ = reply.count;
        return reply.status == 0;
    }

    bool overlapped_result(void*, uint32_t* transferred, bool) override {
        *transferred = last_transfer_;
        return true;
    }

private:
    static int guard(uint32_t timeout_ms) {
        return int(std::min<uint64_t>(uint64_t(timeout_ms) + kGuardMs, 600000));
    }

    static void note_timeouts(uint32_t code, const uint8_t* in, uint32_t size, uint32_t& read_to,
                              uint32_t& write_to) {
        for (int table = 1; table <= 2; ++table) {
            auto index = wire::request_index(table, code);
            if (!index || *index != wire::kSetTimeouts || !in) continue;
            if (size >= 20) {
                read_to = get32(in + 8);
                write_to = get32(in + 16);
            } else if (size >= 8) {
                read_to = get32(in);
                write_to = get32(in + 4);
            }
        }
    }

    // After a lost, late or malformed reply the stream is out of step: hang up for good.
    bool fail() {
        hang_up();
        return false;
    }
    void hang_up() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    int fd_;
    uint32_t read_timeout_ = 0;
    uint32_t write_timeout_ = 0;
    uint32_t last_transfer_ = 0;
};

std::string device_dir() {
    if (const char* dir = std::getenv("ORBLINK_DEVICE_DIR"); dir && *dir) return dir;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return std::string(runtime && *runtime ? runtime : "/tmp") + "/orblink";
}

// The sockets of the device directory in name order; nothing if it cannot be read.
std::optional<std::vector<DeviceRef>> list_devices() {
    const std::string dir = device_dir();
    DIR* d = ::opendir(dir.c_str());
    if (!d) return std::nullopt;
    std::vector<std::pair<std::string, DeviceRef>> found;
    while (dirent* e = ::readdir(d)) {
        std::string path = dir + "/" + e->d_name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
        uint32_t instance = uint32_t(st.st_ino);
        found.push_back({e->d_name, DeviceRef{path, instance ? instance : 1}});
    }
    ::closedir(d);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::strcmp(a.first.c_str(), b.first.c_str()) < 0;
    });
    std::vector<DeviceRef> out;
    for (auto& f : found) out.push_back(std::move(f.second));
    return out;
}

class SocketDriver final : public Driver {
public:
    Lookup find(uint32_t n, DeviceRef& out) override {
        auto devices = list_devices();
        if (!devices) return Lookup::Failed;
        if (n >= devices->size()) return Lookup::NoMore;
        out = (*devices)[n];
        return Lookup::Found;
    }
    std::optional<uint32_t> count() override {
        auto devices = list_devices();
        if (!devices) return std::nullopt;
        return uint32_t(devices->size());
    }
    std::unique_ptr<Connection> open(const std::string& path) override {
        int fd = wire::connect_device(path, kGuardMs);
        if (fd < 0) return nullptr;
        return make_socket_connection(fd);
    }
};

} // namespace

std::unique_ptr<Connection> make_socket_connection(int fd) {
    return std::make_unique<SocketConnection>(fd);
}

Driver& platform_driver() {
    static SocketDriver driver;
    return driver;
}

} // namespace orblink
