// SPDX-License-Identifier: MIT
// A ready-made device-service handler: answers the standard requests (device information,
// identities, line settings, time-outs, queue status) the way the bridge chip's driver does and
// keeps the line settings, so a service only supplies its data stream.
#pragma once

#include "orblink_wire.h"

#include <string>

namespace orblink::wire {

// Every line setting the client can make; the service owns them ("the driver keeps them").
struct LineSettings {
    uint32_t baud = 9600;
    uint8_t word_length = 8;
    uint8_t stop_bits = 0; // 0 one, 2 two
    uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint16_t handshake = 0;
    uint8_t xon = 0x11, xoff = 0x13;
    uint8_t event_char = 0, event_enable = 0, error_char = 0, error_enable = 0;
    bool dtr = false, rts = false, brk = false;
    uint32_t read_timeout_ms = 0;  // 0: a read returns at once with what is queued
    uint32_t write_timeout_ms = 0; // 0: no limit
    uint32_t event_mask = 0;
    uint64_t event_param = 0;
    uint32_t line_state = 0x30; // modem status bits: 0x10 CTS, 0x20 DSR
};

struct DeviceIdentity {
    int generation = 1; // which request table the service understands (1 or 2)
    uint32_t chip_code = 0x40360011;
    uint32_t device_id = 0x04036011;
    uint32_t extra = 0;
    std::string serial = "RT000001";
    std::string description = "RTM5800";
    std::string identity1 = "RTM5800";
    std::string identity2 = "RT000001";
    uint32_t identity_number = 1;
};

class BasicDevice : public Handler {
public:
    explicit BasicDevice(DeviceIdentity identity = {}) : identity_(std::move(identity)) {}

    uint32_t ioctl(uint32_t code, std::span<const uint8_t> in, uint32_t out_capacity,
                   std::vector<uint8_t>& out) override;
    // Calls read_data with the read time-out in force.
    uint32_t read(uint32_t max, std::vector<uint8_t>& data) override;
    uint32_t write(std::span<const uint8_t> data, uint32_t& written) override;
    // Settings go back to their power-on values for each new client.
    void on_connect() override { line_ = LineSettings{}; }

    const LineSettings& line() const { return line_; }
    const DeviceIdentity& identity() const { return identity_; }
    DeviceIdentity& identity() { return identity_; }

protected:
    // The data stream. read_data: up to max bytes into dst, waiting at most wait_ms for them to
    // arrive (0: take what is there); returns how many. write_data: consume the bytes, return how
    // many were taken (less than all is a write time-out).
    virtual std::size_t read_data(uint8_t* dst, std::size_t max, uint32_t wait_ms);
    virtual std::size_t write_data(std::span<const uint8_t> data, uint32_t timeout_ms);
    virtual uint32_t queued_bytes() { return 0; }
    virtual void purge(uint32_t /*mask*/) {}
    virtual bool accept_baud(uint32_t baud) { return baud >= 300 && baud <= 3000000; }
    // Requests outside the standard set; return nonzero to reject.
    virtual uint32_t other_request(uint32_t index, std::span<const uint8_t> in,
                                   uint32_t out_capacity, std::vector<uint8_t>& out);

    LineSettings line_;
    DeviceIdentity identity_;
};

inline constexpr uint32_t kStatusRejected = 1; // reply status for a request the service refuses

} // namespace orblink::wire
