// SPDX-License-Identifier: MIT
// The library's parser of device-service replies: whatever a service sends back, a request
// either succeeds within the caller's buffer or fails; nothing is read or written past a buffer.
#include "driver_socket.h"
#include "orblink_wire.h"

#include <cstring>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // First byte: which requests to make and how large the caller's buffers are; the rest is
    // the service's byte stream. Larger inputs would not fit the socket buffer.
    if (size < 1 || size > 60000) return 0;
    const uint8_t plan = data[0];
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return 0;
    orblink::wire::write_all(fds[1], data + 1, size - 1);
    ::shutdown(fds[1], SHUT_WR); // the stream ends here: no request waits for more

    auto conn = orblink::make_socket_connection(fds[0]);
    const uint32_t capacity = 1u + (plan >> 2) % 128;
    std::vector<uint8_t> in(capacity, 0x11);
    std::vector<uint8_t> out(capacity);
    for (int step = 0; step < 3; ++step) {
        uint32_t n = 0;
        switch ((plan + step) & 3) {
        case 0:
            if (conn->control(0x220198, in.data(), capacity, out.data(), capacity, &n) &&
                n > capacity)
                __builtin_trap();
            orblink::wire::decode_device_info(std::span<const uint8_t>(out.data(), n));
            break;
        case 1:
            conn->read(out.data(), capacity, &n);
            if (n > capacity) __builtin_trap();
            break;
        case 2:
            conn->write(in.data(), capacity, &n);
            if (n > capacity) __builtin_trap();
            break;
        default:
            conn->control(0x220004, nullptr, 0, nullptr, 0, &n);
            if (n != 0) __builtin_trap();
            break;
        }
    }
    conn.reset();
    ::close(fds[1]);
    return 0;
}
