// SPDX-License-Identifier: MIT
// The device-library operations the engine uses, behind an interface so that tests can script
// the library without sockets. `orblink_library()` forwards to the real Orblink.
#pragma once

#include <cstdint>

namespace orv {

using DeviceHandle = void*;
using LibStatus = uint32_t;

inline constexpr LibStatus kLibSuccess = 0;
inline constexpr LibStatus kLibBadHandle = 1;
inline constexpr LibStatus kLibNoSuchDevice = 2;
inline constexpr LibStatus kLibRequestFailed = 4;

// Main thread only, like the library itself.
class DeviceLibrary {
public:
    virtual ~DeviceLibrary() = default;
    virtual LibStatus open_index(int32_t index, DeviceHandle* handle) = 0;
    virtual LibStatus close_device(DeviceHandle h) = 0;
    virtual LibStatus read_data(DeviceHandle h, void* buffer, uint32_t count, uint32_t* got) = 0;
    virtual LibStatus write_data(DeviceHandle h, const void* buffer, uint32_t count, uint32_t* put) = 0;
    virtual LibStatus reset_port(DeviceHandle h) = 0;
    virtual LibStatus set_line_speed(DeviceHandle h, uint32_t baud) = 0;
    virtual LibStatus set_framing(DeviceHandle h, uint8_t word_length, uint8_t stop_bits, uint8_t parity) = 0;
    virtual LibStatus set_handshake(DeviceHandle h, uint16_t mode, uint8_t xon, uint8_t xoff) = 0;
    virtual LibStatus assert_dtr(DeviceHandle h) = 0;
    virtual LibStatus release_dtr(DeviceHandle h) = 0;
    virtual LibStatus assert_rts(DeviceHandle h) = 0;
    virtual LibStatus release_rts(DeviceHandle h) = 0;
    virtual LibStatus get_line_state(DeviceHandle h, uint32_t* state) = 0;
    virtual LibStatus set_special_chars(DeviceHandle h, uint8_t event_char, uint8_t event_on,
                                        uint8_t error_char, uint8_t error_on) = 0;
    virtual LibStatus purge_buffers(DeviceHandle h, uint32_t mask) = 0;
    virtual LibStatus set_io_timeouts(DeviceHandle h, uint32_t read_ms, uint32_t write_ms) = 0;
    virtual LibStatus set_notification(DeviceHandle h, uint32_t mask, uint64_t parameter) = 0;
    virtual LibStatus get_queue_status(DeviceHandle h, uint32_t* rx_bytes, uint32_t* tx_bytes,
                                       uint32_t* event_status) = 0;
};

// The process-wide adapter to Orblink.
DeviceLibrary& orblink_library();

} // namespace orv
