// SPDX-License-Identifier: MIT
#include <orblink.h>

#include "core/scope/device_library.h"

namespace orv {
namespace {

OB_HANDLE handle_of(DeviceHandle h) { return static_cast<OB_HANDLE>(h); }

class OrblinkLibrary final : public DeviceLibrary {
public:
    LibStatus open_index(int32_t index, DeviceHandle* h) override {
        if (index < 0) return OB_NO_SUCH_DEVICE;
        OB_HANDLE out = nullptr;
        const LibStatus s = OB_OpenIndex(static_cast<uint32_t>(index), &out);
        *h = out;
        return s;
    }
    LibStatus close_device(DeviceHandle h) override { return OB_CloseDevice(handle_of(h)); }
    LibStatus read_data(DeviceHandle h, void* b, uint32_t n, uint32_t* got) override {
        return OB_ReadData(handle_of(h), b, n, got);
    }
    LibStatus write_data(DeviceHandle h, const void* b, uint32_t n, uint32_t* put) override {
        return OB_WriteData(handle_of(h), b, n, put);
    }
    LibStatus reset_port(DeviceHandle h) override { return OB_ResetPort(handle_of(h)); }
    LibStatus set_line_speed(DeviceHandle h, uint32_t baud) override { return OB_SetLineSpeed(handle_of(h), baud); }
    LibStatus set_framing(DeviceHandle h, uint8_t w, uint8_t s, uint8_t p) override {
        return OB_SetFraming(handle_of(h), w, s, p);
    }
    LibStatus set_handshake(DeviceHandle h, uint16_t mode, uint8_t xon, uint8_t xoff) override {
        return OB_SetHandshake(handle_of(h), mode, xon, xoff);
    }
    LibStatus assert_dtr(DeviceHandle h) override { return OB_AssertDtr(handle_of(h)); }
    LibStatus release_dtr(DeviceHandle h) override { return OB_ReleaseDtr(handle_of(h)); }
    LibStatus assert_rts(DeviceHandle h) override { return OB_AssertRts(handle_of(h)); }
    LibStatus release_rts(DeviceHandle h) override { return OB_ReleaseRts(handle_of(h)); }
    LibStatus get_line_state(DeviceHandle h, uint32_t* state) override { return OB_GetLineState(handle_of(h), state); }
    LibStatus set_special_chars(DeviceHandle h, uint8_t ec, uint8_t eon, uint8_t erc, uint8_t eron) override {
        return OB_SetSpecialChars(handle_of(h), ec, eon, erc, eron);
    }
    LibStatus purge_buffers(DeviceHandle h, uint32_t mask) override { return OB_PurgeBuffers(handle_of(h), mask); }
    LibStatus set_io_timeouts(DeviceHandle h, uint32_t r, uint32_t w) override {
        return OB_SetIoTimeouts(handle_of(h), r, w);
    }
    LibStatus set_notification(DeviceHandle h, uint32_t mask, uint64_t parameter) override {
        return OB_SetNotification(handle_of(h), mask, static_cast<uintptr_t>(parameter));
    }
    LibStatus get_queue_status(DeviceHandle h, uint32_t* rx, uint32_t* tx, uint32_t* ev) override {
        return OB_GetQueueStatus(handle_of(h), rx, tx, ev);
    }
};

} // namespace

DeviceLibrary& orblink_library() {
    static OrblinkLibrary library;
    return library;
}

} // namespace orv
