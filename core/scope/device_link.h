// SPDX-License-Identifier: MIT
// The link to the instrument through the device library: the four connection slots, opening and
// configuring a device, and the 4-byte register command. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/scope/device_library.h"

namespace orv {

inline constexpr int kDeviceSlots = 4;

// "Dev0".."Dev3" -> 0..3; any other name is refused before it can index a slot.
std::optional<int> parse_device_name(std::string_view name);
std::string_view device_name(int index); // "Dev0".."Dev3"

uint32_t baud_rate(int baud_index);

struct ConnectionSlot {
    const void* owner = nullptr; // the window using the slot; none = free
    int32_t baud_index = 10;
    int32_t data_bits_index = 1;
    int32_t stop_bits_index = 0;
    int32_t parity = 0;
    int32_t flow_index = 0;
    uint8_t xon_char = 0x11;
    uint8_t xoff_char = 0x13;
    uint8_t event_char = 0;
    uint8_t error_char = 0;
    int32_t event_char_on = 0;
    int32_t error_char_on = 0;
    int32_t rts_on = 1;
    int32_t dtr_on = 1;
    int32_t cts = 0;
    int32_t dsr = 0;
    int32_t read_timeout_ms = 400;
    int32_t write_timeout_ms = 400;
    int32_t event_mask = 0;
    DeviceHandle handle = nullptr;
};

class DeviceLink {
public:
    explicit DeviceLink(DeviceLibrary& lib) : lib_(lib) {}

    DeviceLibrary& library() { return lib_; }

    // Opens the device into its slot and configures the link; the slot's owner stays unset
    // until attach. False if the name is invalid, the slot is taken, or any step fails.
    bool open_device(std::string_view name);
    bool configure_link(DeviceHandle handle, ConnectionSlot& slot);
    // Makes slot `index` the current and connected slot, owned by `owner`.
    void attach(int index, const void* owner);
    // Closes the connected slot's handle (status into link_status) and frees the slot.
    void close_connected();
    // Closes a slot opened by open_device but not attached.
    void close_slot(int index);

    bool connected() const { return connected_slot_ >= 0; }
    int connected_slot() const { return connected_slot_; }
    ConnectionSlot& slot(int index) { return slots_[static_cast<std::size_t>(index)]; }
    DeviceHandle connected_handle() const {
        return connected_slot_ >= 0 ? slots_[static_cast<std::size_t>(connected_slot_)].handle : nullptr;
    }

    // One register write; false (and link_status 4) with no connected instrument.
    bool send_command(uint8_t reg, uint8_t value);
    // Offsets of both channels: 164, 162, 165, 163. Registers 162/163 carry a sequence nibble
    // that counts every write per channel. Write failures show up in link_status.
    void send_offsets(int16_t offset_a, int16_t offset_b);
    uint8_t last_offset_high(int channel) const { return last_offset_high_[static_cast<std::size_t>(channel)]; }

    LibStatus link_status = kLibSuccess;

private:
    DeviceLibrary& lib_;
    std::array<ConnectionSlot, kDeviceSlots> slots_{};
    int connected_slot_ = -1;
    int current_slot_ = -1;
    std::array<uint8_t, 2> last_offset_high_{0, 0};
};

} // namespace orv
