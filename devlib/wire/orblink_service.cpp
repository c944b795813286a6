// SPDX-License-Identifier: MIT
#include "orblink_service.h"

#include <algorithm>
#include <cstring>

namespace orblink::wire {
namespace {

uint32_t get32(std::span<const uint8_t> in, std::size_t at) {
    return uint32_t(in[at]) | uint32_t(in[at + 1]) << 8 | uint32_t(in[at + 2]) << 16 |
           uint32_t(in[at + 3]) << 24;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void put_text(std::vector<uint8_t>& out, const std::string& text, uint32_t capacity) {
    out.assign(capacity, 0);
    if (capacity > 0)
        std::memcpy(out.data(), text.data(), std::min<std::size_t>(text.size(), capacity - 1));
}

} // namespace

uint32_t BasicDevice::ioctl(uint32_t code, std::span<const uint8_t> in, uint32_t out_capacity,
                            std::vector<uint8_t>& out) {
    auto index = request_index(identity_.generation, code);
    if (!index) return kStatusRejected;
    auto need = [&](std::size_t n) { return in.size() >= n; };
    switch (*index) {
    case kResetPort:
        line_ = LineSettings{};
        return 0;
    case kSetLineSpeed:
        if (!need(4) || !accept_baud(get32(in, 0))) return kStatusRejected;
        line_.baud = get32(in, 0);
        return 0;
    case kSetFraming:
        if (!need(3)) return kStatusRejected;
        line_.stop_bits = in[0];
        line_.parity = in[1];
        line_.word_length = in[2];
        return 0;
    case kSetHandshake:
        if (!need(4)) return kStatusRejected;
        line_.handshake = uint16_t(in[0] | in[1] << 8);
        line_.xon = in[2];
        line_.xoff = in[3];
        return 0;
    case kAssertDtr: line_.dtr = true; return 0;
    case kReleaseDtr: line_.dtr = false; return 0;
    case kAssertRts: line_.rts = true; return 0;
    case kReleaseRts: line_.rts = false; return 0;
    case kSetBreakOn: line_.brk = true; return 0;
    case kSetBreakOff: line_.brk = false; return 0;
    case kGetLineState:
        if (out_capacity < 4) return kStatusRejected;
        put32(out, line_.line_state);
        return 0;
    case kSetSpecialChars:
        if (!need(4)) return kStatusRejected;
        line_.event_char = in[0];
        line_.event_enable = in[1];
        line_.error_char = in[2];
        line_.error_enable = in[3];
        return 0;
    case kPurge:
        if (!need(4)) return kStatusRejected;
        purge(get32(in, 0));
        return 0;
    case kSetTimeouts:
        if (in.size() >= 20) { // comm-style form: the constants are the time-outs
            line_.read_timeout_ms = get32(in, 8);
            line_.write_timeout_ms = get32(in, 16);
            return 0;
        }
        if (!need(8)) return kStatusRejected;
        line_.read_timeout_ms = get32(in, 0);
        line_.write_timeout_ms = get32(in, 4);
        return 0;
    case kSetNotification:
        if (!need(16)) return kStatusRejected;
        line_.event_mask = get32(in, 4);
        line_.event_param = uint64_t(get32(in, 8)) | uint64_t(get32(in, 12)) << 32;
        return 0;
    case kGetQueueStatus:
        if (out_capacity < 12) return kStatusRejected;
        put32(out, queued_bytes());
        put32(out, 0);
        put32(out, 0);
        return 0;
    case kDeviceInfo: {
        if (out_capacity < kDeviceInfoSize) return kStatusRejected;
        DeviceInfo info;
        info.chip_code = identity_.chip_code;
        info.device_id = identity_.device_id;
        info.extra = identity_.extra;
        std::strncpy(info.serial, identity_.serial.c_str(), sizeof info.serial - 1);
        std::strncpy(info.description, identity_.description.c_str(),
                     sizeof info.description - 1);
        out.resize(kDeviceInfoSize);
        encode_device_info(info, out.data());
        return 0;
    }
    case kIdentityText1:
        put_text(out, identity_.identity1, std::min<uint32_t>(out_capacity, 64));
        return 0;
    case kIdentityText2:
        put_text(out, identity_.identity2, std::min<uint32_t>(out_capacity, 64));
        return 0;
    case kIdentityNumber:
        if (out_capacity < 4) return kStatusRejected;
        put32(out, identity_.identity_number);
        return 0;
    default:
        return other_request(*index, in, out_capacity, out);
    }
}

uint32_t BasicDevice::other_request(uint32_t, std::span<const uint8_t>, uint32_t out_capacity,
                                    std::vector<uint8_t>& out) {
    // Requests the application never uses: accepted, output zero-filled.
    out.assign(std::min<uint32_t>(out_capacity, 64), 0);
    return 0;
}

uint32_t BasicDevice::read(uint32_t max, std::vector<uint8_t>& data) {
    data.resize(max);
    data.resize(read_data(data.data(), max, line_.read_timeout_ms));
    return 0;
}

uint32_t BasicDevice::write(std::span<const uint8_t> data, uint32_t& written) {
    written = uint32_t(std::min(write_data(data, line_.write_timeout_ms), data.size()));
    return 0;
}

std::size_t BasicDevice::read_data(uint8_t*, std::size_t, uint32_t) { return 0; }
std::size_t BasicDevice::write_data(std::span<const uint8_t> data, uint32_t) {
    return data.size();
}

} // namespace orblink::wire
