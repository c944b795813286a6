// SPDX-License-Identifier: MIT
// The handle record and the operations on the open-handle list, shared by the exported
// functions.
#pragma once

#include "driver.h"
#include "orblink.h"

#include <cstddef>
#include <cstdint>

// The record behind an OB_HANDLE. Field order follows the layout other tools of the bridge chip
// expect to find when they dump a handle; it is zero-filled when allocated.
struct OB_DEVICE_RECORD {
    OB_DEVICE_RECORD* next;
    orblink::Connection* device;
    int32_t open_flags;
    char* path_detail;
    int32_t chip_type;
    const uint32_t* request_table;
    int32_t chip_type_copy;
    int32_t device_id;
    uint8_t info[80]; // serial number (16 bytes) and description (64 bytes), zero-terminated
    OB_DEVICE_RECORD* self;
    uint32_t dev_inst;
};

namespace orblink {

inline constexpr uint32_t kRequestCount = 112;
inline constexpr uint32_t kNominalBase = 0x220000;
inline constexpr uint32_t kDeviceInfoCode = 0x220198;
inline constexpr std::size_t kDeviceInfoSize = 104;

// The request-code table of driver generation 1 or 2.
const uint32_t* request_table(int generation);

// Head of the open-handle list (newest first).
OB_DEVICE_RECORD* open_handles();
bool is_open(OB_HANDLE h);

// Sends nominal code c as table[(c >> 2) & 0xFFF]. The output beyond what the driver filled is
// zeroed. Codes outside the table are refused (false) before the driver sees them.
bool send_request(OB_HANDLE h, uint32_t nominal, const void* in, uint32_t in_size, void* out,
                  uint32_t out_size, uint32_t* returned = nullptr);

// The device-information request with the handle's table; true only for a zero status word.
bool query_device_info(OB_HANDLE h, uint8_t reply[kDeviceInfoSize]);
int32_t chip_type_of(uint32_t chip_code);

// Opens device number n. *instance (optional) receives the device-instance number found at
// enumeration even when the open itself fails.
OB_STATUS open_by_index(uint32_t n, OB_HANDLE* out, uint32_t* instance = nullptr);
OB_STATUS close_handle(OB_HANDLE h);

void* alloc_zeroed(std::size_t size);

} // namespace orblink
