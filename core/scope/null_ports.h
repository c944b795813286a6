// SPDX-License-Identifier: MIT
// A user interface that shows nothing and a device library with no device behind it: what a
// headless run of the engine needs (command-line tools, benchmarks, fuzzing).
#pragma once

#include "core/scope/device_library.h"
#include "core/scope/ui_port.h"

namespace orv {

class NullUiPort : public UiPort {
public:
    void set_caption(std::string_view) override {}
    void set_product_line(std::string_view) override {}
    void show_message(std::string_view, std::string_view) override {}
    void show_general_error(std::string_view) override {}
    void highlight_run_button(int) override {}
    void show_search_dialog() override {}
    void hide_search_dialog() override {}
    void set_search_text_visible(bool) override {}
    void redraw_knobs() override {}
    void refresh_labels() override {}
    void set_timebar(int, int) override {}
    void enter_scope_layout() override {}
};

// Every open finds no device and every request on a handle fails.
class NoDeviceLibrary : public DeviceLibrary {
public:
    LibStatus open_index(int32_t, DeviceHandle*) override { return kLibNoSuchDevice; }
    LibStatus close_device(DeviceHandle) override { return 1; }
    LibStatus read_data(DeviceHandle, void*, uint32_t, uint32_t* got) override { return fail(got); }
    LibStatus write_data(DeviceHandle, const void*, uint32_t, uint32_t* put) override { return fail(put); }
    LibStatus reset_port(DeviceHandle) override { return kFailed; }
    LibStatus set_line_speed(DeviceHandle, uint32_t) override { return kFailed; }
    LibStatus set_framing(DeviceHandle, uint8_t, uint8_t, uint8_t) override { return kFailed; }
    LibStatus set_handshake(DeviceHandle, uint16_t, uint8_t, uint8_t) override { return kFailed; }
    LibStatus assert_dtr(DeviceHandle) override { return kFailed; }
    LibStatus release_dtr(DeviceHandle) override { return kFailed; }
    LibStatus assert_rts(DeviceHandle) override { return kFailed; }
    LibStatus release_rts(DeviceHandle) override { return kFailed; }
    LibStatus get_line_state(DeviceHandle, uint32_t*) override { return kFailed; }
    LibStatus set_special_chars(DeviceHandle, uint8_t, uint8_t, uint8_t, uint8_t) override { return kFailed; }
    LibStatus purge_buffers(DeviceHandle, uint32_t) override { return kFailed; }
    LibStatus set_io_timeouts(DeviceHandle, uint32_t, uint32_t) override { return kFailed; }
    LibStatus set_notification(DeviceHandle, uint32_t, uint64_t) override { return kFailed; }
    LibStatus get_queue_status(DeviceHandle, uint32_t*, uint32_t*, uint32_t*) override { return kFailed; }

private:
    static constexpr LibStatus kFailed = kLibRequestFailed;
    static LibStatus fail(uint32_t* moved) {
        if (moved) *moved = 0;
        return kFailed;
    }
};

} // namespace orv
