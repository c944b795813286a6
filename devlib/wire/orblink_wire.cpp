// SPDX-License-Identifier: MIT
#include "orblink_wire.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace orblink::wire {
namespace {

void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

using Clock = std::chrono::steady_clock;

// How long the server waits on a client that stops reading or stops mid-request.
constexpr int kClientStallMs = 2000;

// Milliseconds left until deadline for poll(); -1 when there is no deadline.
int remaining_ms(bool limited, Clock::time_point deadline) {
    if (!limited) return -1;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return int(std::max<long long>(0, left.count()));
}

bool fill_address(const std::string& path, sockaddr_un& addr) {
    if (path.size() >= sizeof(addr.sun_path)) return false;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

void encode_header(const Header& h, uint8_t out[kHeaderSize]) {
    put32(out, kMagic);
    put32(out + 4, h.kind);
    put32(out + 8, h.a);
    put32(out + 12, h.b);
    put32(out + 16, h.length);
}

std::optional<Header> decode_header(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize || get32(bytes.data()) != kMagic) return std::nullopt;
    Header h{get32(bytes.data() + 4), get32(bytes.data() + 8), get32(bytes.data() + 12),
             get32(bytes.data() + 16)};
    if (h.length > kMaxPayload) return std::nullopt;
    return h;
}

std::optional<uint32_t> request_index(int table, uint32_t code) {
    const uint32_t base = table_code(table, 0);
    if (code < base || (code - base) % 4 != 0) return std::nullopt;
    const uint32_t index = (code - base) / 4;
    if (index >= kRequestCount) return std::nullopt;
    return index;
}

void encode_device_info(const DeviceInfo& info, uint8_t out[kDeviceInfoSize]) {
    std::memset(out, 0, kDeviceInfoSize);
    put32(out, info.status);
    put32(out + 4, info.chip_code);
    put32(out + 8, info.device_id);
    put32(out + 16, info.extra);
    std::memcpy(out + 24, info.serial, sizeof info.serial);
    std::memcpy(out + 40, info.description, sizeof info.description);
    out[39] = 0;
    out[103] = 0;
}

DeviceInfo decode_device_info(std::span<const uint8_t> bytes) {
    uint8_t full[kDeviceInfoSize] = {};
    std::memcpy(full, bytes.data(), std::min(bytes.size(), kDeviceInfoSize));
    DeviceInfo info;
    info.status = get32(full);
    info.chip_code = get32(full + 4);
    info.device_id = get32(full + 8);
    info.extra = get32(full + 16);
    std::memcpy(info.serial, full + 24, sizeof info.serial);
    std::memcpy(info.description, full + 40, sizeof info.description);
    // A service that forgets the terminator must not make callers read past the texts.
    info.serial[sizeof info.serial - 1] = 0;
    info.description[sizeof info.description - 1] = 0;
    return info;
}

bool write_all(int fd, const void* data, std::size_t size, int timeout_ms) {
    auto* p = static_cast<const uint8_t*>(data);
    const bool limited = timeout_ms >= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    while (size > 0) {
        ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A peer that stops reading must not hold us past the deadline.
            pollfd pfd{fd, POLLOUT, 0};
            int r = ::poll(&pfd, 1, remaining_ms(limited, deadline));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            continue;
        }
        if (n <= 0) return false;
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

IoResult read_all(int fd, void* data, std::size_t size, int timeout_ms) {
    auto* p = static_cast<uint8_t*>(data);
    const bool limited = timeout_ms >= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    while (size > 0) {
        pollfd pfd{fd, POLLIN, 0};
        int r = ::poll(&pfd, 1, remaining_ms(limited, deadline));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return IoResult::Error;
        if (r == 0) return IoResult::Timeout;
        ssize_t n = ::recv(fd, p, size, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n == 0) return IoResult::Closed;
        if (n < 0) return errno == ECONNRESET ? IoResult::Closed : IoResult::Error;
        p += n;
        size -= std::size_t(n);
    }
    return IoResult::Ok;
}

bool send_message(int fd, const Header& h, std::span<const uint8_t> payload, int timeout_ms) {
    if (payload.size() > kMaxPayload) return false;
    Header out = h;
    out.length = uint32_t(payload.size());
    // One buffer, one send: a small request never goes out as two segments.
    std::vector<uint8_t> buf(kHeaderSize + payload.size());
    encode_header(out, buf.data());
    if (!payload.empty()) std::memcpy(buf.data() + kHeaderSize, payload.data(), payload.size());
    return write_all(fd, buf.data(), buf.size(), timeout_ms);
}

IoResult receive_message(int fd, Header& h, std::vector<uint8_t>& payload, int timeout_ms) {
    const bool limited = timeout_ms >= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    uint8_t raw[kHeaderSize];
    IoResult r = read_all(fd, raw, sizeof raw, timeout_ms);
    if (r != IoResult::Ok) return r;
    auto decoded = decode_header(raw);
    if (!decoded) return IoResult::Error;
    h = *decoded;
    payload.resize(h.length);
    if (h.length == 0) return IoResult::Ok;
    return read_all(fd, payload.data(), h.length, remaining_ms(limited, deadline));
}

IoResult receive_reply(int fd, Kind request, uint32_t limit, Reply& reply, int timeout_ms) {
    Header h;
    IoResult r = receive_message(fd, h, reply.payload, timeout_ms);
    if (r != IoResult::Ok) return r;
    if (h.kind != (uint32_t(request) | kReplyBit) || h.length > limit) return IoResult::Error;
    reply.status = h.a;
    if (request == Kind::Write) {
        if (h.length != 0 || h.b > limit) return IoResult::Error;
        reply.count = h.b;
    } else {
        reply.count = h.length;
    }
    return IoResult::Ok;
}

int connect_device(const std::string& path, int hello_timeout_ms, bool* busy) {
    if (busy) *busy = false;
    sockaddr_un addr;
    if (!fill_address(path, addr)) return -1;
    // Non-blocking, so a service whose backlog is full refuses (EAGAIN) instead of blocking us.
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    Header h;
    std::vector<uint8_t> payload;
    if (receive_message(fd, h, payload, hello_timeout_ms) != IoResult::Ok ||
        h.kind != uint32_t(Kind::Hello) || h.a != kHelloAccepted) {
        if (busy && h.kind == uint32_t(Kind::Hello) && h.a == kHelloBusy) *busy = true;
        ::close(fd);
        return -1;
    }
    return fd;
}

std::unique_ptr<DeviceServer> DeviceServer::listen(const std::string& path, std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        return nullptr;
    };
    sockaddr_un addr;
    if (!fill_address(path, addr)) {
        errno = ENAMETOOLONG;
        return fail("socket path");
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return fail("socket");
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        return fail("bind");
    }
    return std::unique_ptr<DeviceServer>(new DeviceServer(fd, path));
}

DeviceServer::~DeviceServer() {
    if (client_ >= 0) ::close(client_);
    if (listen_fd_ >= 0) {
        ::close(listen_fd_);
        ::unlink(path_.c_str());
    }
}

void DeviceServer::drop_client(Handler& handler) {
    if (client_ < 0) return;
    ::close(client_);
    client_ = -1;
    handler.on_disconnect();
}

void DeviceServer::accept_pending(Handler& handler) {
    for (;;) {
        int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        if (client_ >= 0) {
            send_message(fd, Header{uint32_t(Kind::Hello), kHelloBusy, 0, 0}, {}, 0);
            ::close(fd);
            continue;
        }
        if (!send_message(fd, Header{uint32_t(Kind::Hello), kHelloAccepted, 0, 0}, {},
                          kClientStallMs)) {
            ::close(fd);
            continue;
        }
        client_ = fd;
        handler.on_connect();
    }
}

bool DeviceServer::serve_request(Handler& handler) {
    Header h;
    std::vector<uint8_t> in;
    // The request is already arriving; a client that stalls mid-message is dropped.
    if (receive_message(client_, h, in, kClientStallMs) != IoResult::Ok) return false;
    Header reply{h.kind | kReplyBit, 0, 0, 0};
    std::vector<uint8_t> out;
    switch (Kind(h.kind)) {
    case Kind::Ioctl:
        reply.a = handler.ioctl(h.a, in, h.b, out);
        if (out.size() > h.b) out.resize(h.b);
        break;
    case Kind::Read:
        reply.a = handler.read(std::min(h.a, kMaxPayload), out);
        if (out.size() > h.a) out.resize(h.a);
        break;
    case Kind::Write: {
        uint32_t written = 0;
        reply.a = handler.write(in, written);
        reply.b = std::min<uint32_t>(written, uint32_t(in.size()));
        break;
    }
    default:
        return false;
    }
    return send_message(client_, reply, out, kClientStallMs);
}

bool DeviceServer::poll_once(Handler& handler, int timeout_ms) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {client_, POLLIN, 0}};
    const nfds_t n = client_ >= 0 ? 2 : 1;
    int r = ::poll(fds, n, timeout_ms);
    if (r < 0) return errno == EINTR;
    if (fds[0].revents & (POLLERR | POLLNVAL)) return false;
    // Serve the current client before accepting, so a second client that arrives while the
    // first hangs up in the same instant still gets the device.
    if (n == 2 && fds[1].revents != 0) {
        if (!serve_request(handler)) drop_client(handler);
    }
    if (fds[0].revents & POLLIN) accept_pending(handler);
    return true;
}

} // namespace orblink::wire
