// SPDX-License-Identifier: MIT
#include "core/scope/device_link.h"

#include "core/scope/register_command.h"

namespace orv {

namespace {
constexpr std::array<std::string_view, kDeviceSlots> kDeviceNames{"Dev0", "Dev1", "Dev2", "Dev3"};
}

std::optional<int> parse_device_name(std::string_view name) {
    for (int i = 0; i < kDeviceSlots; ++i)
        if (name == kDeviceNames[static_cast<std::size_t>(i)]) return i;
    return std::nullopt;
}

std::string_view device_name(int index) {
    return (index >= 0 && index < kDeviceSlots) ? kDeviceNames[static_cast<std::size_t>(index)] : std::string_view{};
}

uint32_t baud_rate(int baud_index) {
    switch (baud_index) {
    case 0: return 300;
    case 1: return 600;
    case 2: return 1200;
    case 3: return 2400;
    case 4: return 4800;
    case 5: return 9600;
    case 6: return 14400;
    case 7: return 19200;
    case 8: return 38400;
    case 9: return 57600;
    case 11: return 230400;
    case 12: return 460800;
    case 13: return 921600;
    default: return 115200;
    }
}

bool DeviceLink::open_device(std::string_view name) {
    const auto n = parse_device_name(name);
    if (!n) return false;
    ConnectionSlot& s = slots_[static_cast<std::size_t>(*n)];
    if (s.owner) return false;
    DeviceHandle h = nullptr;
    if (lib_.open_index(*n, &h) != kLibSuccess) return false;
    s = ConnectionSlot{};
    uint32_t line = 0;
    if (!configure_link(h, s) || lib_.get_line_state(h, &line) != kLibSuccess) {
        lib_.close_device(h);
        return false;
    }
    s.cts = (line & 0x10) ? 1 : 0;
    s.dsr = (line & 0x20) ? 1 : 0;
    s.handle = h;
    return true;
}

bool DeviceLink::configure_link(DeviceHandle h, ConnectionSlot& s) {
    if (lib_.reset_port(h) != kLibSuccess) return false;
    if (lib_.set_line_speed(h, baud_rate(s.baud_index)) != kLibSuccess) return false;
    const auto word = static_cast<uint8_t>(s.data_bits_index + 7);
    const uint8_t stop = s.stop_bits_index == 1 ? 2 : 0;
    if (lib_.set_framing(h, word, stop, static_cast<uint8_t>(s.parity)) != kLibSuccess) return false;
    LibStatus hs;
    switch (s.flow_index) {
    case 1: hs = lib_.set_handshake(h, 0x100, 0, 0); break;
    case 2: hs = lib_.set_handshake(h, 0x200, 0, 0); break;
    case 3: hs = lib_.set_handshake(h, 0x400, s.xon_char, s.xoff_char); break;
    default: hs = lib_.set_handshake(h, 0, 0, 0); break;
    }
    if (hs != kLibSuccess) return false;
    if (lib_.set_special_chars(h, s.event_char, s.event_char_on ? 1 : 0, s.error_char, s.error_char_on ? 1 : 0) !=
        kLibSuccess)
        return false;
    // The remaining settings are best effort: the link works without them.
    lib_.set_notification(h, static_cast<uint32_t>(s.event_mask), 0);
    if (s.dtr_on) lib_.assert_dtr(h); else lib_.release_dtr(h);
    if (s.rts_on) lib_.assert_rts(h); else lib_.release_rts(h);
    lib_.set_io_timeouts(h, static_cast<uint32_t>(s.read_timeout_ms), static_cast<uint32_t>(s.write_timeout_ms));
    lib_.purge_buffers(h, 3);
    return true;
}

void DeviceLink::attach(int index, const void* owner) {
    slots_[static_cast<std::size_t>(index)].owner = owner;
    connected_slot_ = current_slot_ = index;
}

void DeviceLink::close_connected() {
    if (connected_slot_ < 0) return;
    ConnectionSlot& s = slots_[static_cast<std::size_t>(connected_slot_)];
    link_status = lib_.close_device(s.handle);
    s = ConnectionSlot{};
    connected_slot_ = current_slot_ = -1;
}

void DeviceLink::close_slot(int index) {
    ConnectionSlot& s = slots_[static_cast<std::size_t>(index)];
    if (s.handle) lib_.close_device(s.handle);
    s = ConnectionSlot{};
    if (connected_slot_ == index) connected_slot_ = current_slot_ = -1;
}

bool DeviceLink::send_command(uint8_t reg, uint8_t value) {
    if (current_slot_ < 0 || connected_slot_ < 0) {
        link_status = kLibRequestFailed;
        return false;
    }
    const auto bytes = command_bytes(reg, value);
    uint32_t put = 0;
    link_status = lib_.write_data(slots_[static_cast<std::size_t>(current_slot_)].handle, bytes.data(), 4, &put);
    return link_status == kLibSuccess;
}

void DeviceLink::send_offsets(int16_t offset_a, int16_t offset_b) {
    const int16_t offsets[2] = {offset_a, offset_b};
    const uint8_t low_regs[2] = {reg::kOffsetLowA, reg::kOffsetLowB};
    const uint8_t high_regs[2] = {reg::kOffsetHighA, reg::kOffsetHighB};
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const auto v = static_cast<uint16_t>(offsets[ch]);
        send_command(low_regs[ch], static_cast<uint8_t>(v & 0xFF));
        const auto high = static_cast<uint8_t>(((last_offset_high_[ch] & 0xF0) | ((v >> 8) & 0x0F)) + 16);
        last_offset_high_[ch] = high;
        send_command(high_regs[ch], high);
    }
}

} // namespace orv
