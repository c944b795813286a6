// SPDX-License-Identifier: MIT
// Framing of the Orblink device service: the Unix-domain socket protocol between the library's
// Linux driver layer (client) and a device service such as the simulator (server). The message
// layout is described in docs/device-protocol.md; this header is the only code that knows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orblink::wire {

// ---- Message layout ------------------------------------------------------------------------

inline constexpr uint32_t kMagic = 0x4B4C424Fu; // "OBLK" as little-endian bytes
inline constexpr std::size_t kHeaderSize = 20;
inline constexpr uint32_t kMaxPayload = 1u << 20;

enum class Kind : uint32_t {
    Hello = 1, // server -> client right after accept: a = 0 accepted, a = 1 busy (then closed)
    Ioctl = 2, // a = driver request code, b = output capacity, payload = input buffer
    Read = 3,  // a = most bytes wanted, payload empty
    Write = 4, // payload = bytes to write
};
inline constexpr uint32_t kReplyBit = 0x80; // a reply's kind is the request's kind | kReplyBit

// Replies: a = status word (0 success, anything else failure), b = bytes written (Write replies;
// 0 otherwise), payload = output buffer (Ioctl, at most the capacity) or data read (Read, at most
// the count asked for).
struct Header {
    uint32_t kind = 0;
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t length = 0;
};

inline constexpr uint32_t kHelloAccepted = 0;
inline constexpr uint32_t kHelloBusy = 1;

void encode_header(const Header& h, uint8_t out[kHeaderSize]);
// Fails on a wrong magic or a payload longer than kMaxPayload.
std::optional<Header> decode_header(std::span<const uint8_t> bytes);

// ---- Request codes -------------------------------------------------------------------------

// Nominal request index i stands for the library's nominal code 0x220000 + 4 * i. Each driver
// generation understands one table of real codes; a service built as generation 1 accepts only
// table 1 codes, generation 2 only table 2 codes.
inline constexpr uint32_t kRequestCount = 112;
inline constexpr uint32_t nominal_code(uint32_t index) { return 0x220000u + 4u * index; }
inline constexpr uint32_t table_code(int table, uint32_t index) {
    return (table == 2 ? 0x220800u : 0x220000u) + 4u * index;
}
// The nominal index of a real code under a table, or nothing if the code is not in it.
std::optional<uint32_t> request_index(int table, uint32_t code);

// Nominal indices of the requests the application and the library use.
enum Request : uint32_t {
    kResetPort = 0x04 / 4,
    kGetEepromWord = 0x80 / 4,
    kSetEepromWord = 0x84 / 4,
    kSetNotification = 0x8C / 4,
    kGetQueueStatus = 0x94 / 4,
    kIdentityText1 = 0x9C / 4,
    kIdentityText2 = 0xA0 / 4,
    kIdentityNumber = 0xA4 / 4,
    kSetLineSpeed = 0x104 / 4,
    kSetFraming = 0x10C / 4,
    kSetBreakOn = 0x110 / 4,
    kSetBreakOff = 0x114 / 4,
    kSetTimeouts = 0x11C / 4,
    kAssertDtr = 0x124 / 4,
    kReleaseDtr = 0x128 / 4,
    kAssertRts = 0x130 / 4,
    kReleaseRts = 0x134 / 4,
    kPurge = 0x14C / 4,
    kSetSpecialChars = 0x15C / 4,
    kSetHandshake = 0x164 / 4,
    kGetLineState = 0x168 / 4,
    kDeviceInfo = 0x198 / 4,
};

// Device-information reply (104 bytes; the request carries 17 in its first word).
inline constexpr std::size_t kDeviceInfoSize = 104;
inline constexpr uint32_t kDeviceInfoQuery = 17;
struct DeviceInfo {
    uint32_t status = 0;
    uint32_t chip_code = 0;
    uint32_t device_id = 0;
    uint32_t extra = 0;     // bytes 16-19
    char serial[16] = {};   // bytes 24-39, zero-terminated
    char description[64] = {}; // bytes 40-103, zero-terminated
};
void encode_device_info(const DeviceInfo& info, uint8_t out[kDeviceInfoSize]);
DeviceInfo decode_device_info(std::span<const uint8_t> bytes); // short input reads as zeros

// ---- Socket helpers (never raise SIGPIPE) ----------------------------------------------------

enum class IoResult { Ok, Closed, Timeout, Error };

// Writes everything (MSG_NOSIGNAL) within timeout_ms in total (negative: no limit); false on
// any error or when the peer stops taking bytes for that long.
bool write_all(int fd, const void* data, std::size_t size, int timeout_ms = -1);
// Reads exactly size bytes within timeout_ms in total (negative: no limit).
IoResult read_all(int fd, void* data, std::size_t size, int timeout_ms);

bool send_message(int fd, const Header& h, std::span<const uint8_t> payload = {},
                  int timeout_ms = -1);
// Reads one message; a malformed header is Error. timeout_ms bounds the whole message.
IoResult receive_message(int fd, Header& h, std::vector<uint8_t>& payload, int timeout_ms);

// A reply checked against the request it answers: right kind, payload within the caller's limit.
// Anything else is a malformed answer and the request failed.
struct Reply {
    uint32_t status = 0;
    uint32_t count = 0; // Write: bytes written; Ioctl / Read: payload size
    std::vector<uint8_t> payload;
};
IoResult receive_reply(int fd, Kind request, uint32_t limit, Reply& reply, int timeout_ms);

// ---- Client side ---------------------------------------------------------------------------

// Connects to a device socket and waits for the hello. Returns the connected fd, or -1 if the
// service is absent, refused (busy), not accepting (full backlog) or silent for
// hello_timeout_ms. The fd is non-blocking; use the helpers above with time-outs on it.
int connect_device(const std::string& path, int hello_timeout_ms, bool* busy = nullptr);

// ---- Server side ---------------------------------------------------------------------------

// What a device service implements. Calls arrive on the thread that runs DeviceServer::poll_once.
class Handler {
public:
    virtual ~Handler() = default;
    virtual void on_connect() {}
    virtual void on_disconnect() {}
    // A device-control request with the code as sent. Fill out with at most out_capacity bytes
    // (the server truncates longer output). Return the status word: 0 success.
    virtual uint32_t ioctl(uint32_t code, std::span<const uint8_t> in, uint32_t out_capacity,
                           std::vector<uint8_t>& out) = 0;
    // Up to max bytes into data (the server truncates more), waiting at most the read time-out
    // the client set. A time-out with nothing is status 0 and no data.
    virtual uint32_t read(uint32_t max, std::vector<uint8_t>& data) = 0;
    // Take the bytes; report how many were taken. Nonzero status = failure.
    virtual uint32_t write(std::span<const uint8_t> data, uint32_t& written) = 0;
};

// One listening device socket that serves one client at a time and refuses a second one with a
// busy hello. Not thread-safe: drive it from one thread.
class DeviceServer {
public:
    // Removes a stale socket file at path, binds and listens. nullptr with *error on failure.
    static std::unique_ptr<DeviceServer> listen(const std::string& path,
                                                std::string* error = nullptr);
    ~DeviceServer(); // closes both sockets and removes the socket file
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Waits up to timeout_ms for a connection or a request and serves what arrived (several if
    // ready). Returns false only if the listening socket failed.
    bool poll_once(Handler& handler, int timeout_ms);
    bool has_client() const { return client_ >= 0; }
    // Hangs up on the current client (as an unplugged device would).
    void drop_client(Handler& handler);
    const std::string& path() const { return path_; }
    int listen_fd() const { return listen_fd_; }

private:
    DeviceServer(int fd, std::string path) : listen_fd_(fd), path_(std::move(path)) {}
    void accept_pending(Handler& handler);
    bool serve_request(Handler& handler);
    int listen_fd_ = -1;
    int client_ = -1;
    std::string path_;
};

} // namespace orblink::wire
