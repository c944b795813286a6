// SPDX-License-Identifier: MIT
#include "ui/orblink_device_library.h"

#include "core/scope/device_library.h"

#include <orblink.h>

namespace orv::ui {
namespace {

OB_HANDLE h_(orv::DeviceHandle h) { return static_cast<OB_HANDLE>(h); }

class Orblink final : public orv::DeviceLibrary {
public:
    orv::LibStatus open_index(int32_t index, orv::DeviceHandle* handle) override {
        OB_HANDLE h = nullptr;
        const OB_STATUS s = OB_OpenIndex(static_cast<uint32_t>(index), &h);
        *handle = h;
        return s;
    }
    orv::LibStatus close_device(orv::DeviceHandle h) override { return OB_CloseDevice(h_(h)); }
    orv::LibStatus read_data(orv::DeviceHandle h, void* b, uint32_t n, uint32_t* got) override {
        return OB_ReadData(h_(h), b, n, got);
    }
    orv::LibStatus write_data(orv::DeviceHandle h, const void* b, uint32_t n, uint32_t* put) override {
        return OB_WriteData(h_(h), b, n, put);
    }
    orv::LibStatus reset_port(orv::DeviceHandle h) override { return OB_ResetPort(h_(h)); }
    orv::LibStatus set_line_speed(orv::DeviceHandle h, uint32_t baud) override { return OB_SetLineSpeed(h_(h), baud); }
    orv::LibStatus set_framing(orv::DeviceHandle h, uint8_t w, uint8_t s, uint8_t p) override {
        return OB_SetFraming(h_(h), w, s, p);
    }
    orv::LibStatus set_handshake(orv::DeviceHandle h, uint16_t mode, uint8_t xon, uint8_t xoff) override {
        return OB_SetHandshake(h_(h), mode, xon, xoff);
    }
    orv::LibStatus assert_dtr(orv::DeviceHandle h) override { return OB_AssertDtr(h_(h)); }
    orv::LibStatus release_dtr(orv::DeviceHandle h) override { return OB_ReleaseDtr(h_(h)); }
    orv::LibStatus assert_rts(orv::DeviceHandle h) override { return OB_AssertRts(h_(h)); }
    orv::LibStatus release_rts(orv::DeviceHandle h) override { return OB_ReleaseRts(h_(h)); }
    orv::LibStatus get_line_state(orv::DeviceHandle h, uint32_t* state) override {
        return OB_GetLineState(h_(h), state);
    }
    orv::LibStatus set_special_chars(orv::DeviceHandle h, uint8_t ev, uint8_t ev_on, uint8_t er,
                                     uint8_t er_on) override {
        return OB_SetSpecialChars(h_(h), ev, ev_on, er, er_on);
    }
    orv::LibStatus purge_buffers(orv::DeviceHandle h, uint32_t mask) override { return OB_PurgeBuffers(h_(h), mask); }
    orv::LibStatus set_io_timeouts(orv::DeviceHandle h, uint32_t r, uint32_t w) override {
        return OB_SetIoTimeouts(h_(h), r, w);
    }
    orv::LibStatus set_notification(orv::DeviceHandle h, uint32_t mask, uint64_t parameter) override {
        return OB_SetNotification(h_(h), mask, static_cast<uintptr_t>(parameter));
    }
    orv::LibStatus get_queue_status(orv::DeviceHandle h, uint32_t* rx, uint32_t* tx, uint32_t* ev) override {
        return OB_GetQueueStatus(h_(h), rx, tx, ev);
    }
};

} // namespace

orv::DeviceLibrary& orblink_device_library() {
    static Orblink lib;
    return lib;
}

} // namespace orv::ui
