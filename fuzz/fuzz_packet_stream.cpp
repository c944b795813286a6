// SPDX-License-Identifier: MIT
// Arbitrary byte streams through the packet assembler and the frame handlers. The first bytes
// choose the run mode, time base and trigger, so the roll and trigger paths are reached too.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/scope/acquisition.h"

namespace {

class NoDevice final : public orv::DeviceLibrary {
public:
    orv::LibStatus open_index(int32_t, orv::DeviceHandle*) override { return orv::kLibNoSuchDevice; }
    orv::LibStatus close_device(orv::DeviceHandle) override { return 1; }
    orv::LibStatus read_data(orv::DeviceHandle, void*, uint32_t, uint32_t* got) override { *got = 0; return 4; }
    orv::LibStatus write_data(orv::DeviceHandle, const void*, uint32_t, uint32_t* put) override { *put = 0; return 4; }
    orv::LibStatus reset_port(orv::DeviceHandle) override { return 4; }
    orv::LibStatus set_line_speed(orv::DeviceHandle, uint32_t) override { return 4; }
    orv::LibStatus set_framing(orv::DeviceHandle, uint8_t, uint8_t, uint8_t) override { return 4; }
    orv::LibStatus set_handshake(orv::DeviceHandle, uint16_t, uint8_t, uint8_t) override { return 4; }
    orv::LibStatus assert_dtr(orv::DeviceHandle) override { return 4; }
    orv::LibStatus release_dtr(orv::DeviceHandle) override { return 4; }
    orv::LibStatus assert_rts(orv::DeviceHandle) override { return 4; }
    orv::LibStatus release_rts(orv::DeviceHandle) override { return 4; }
    orv::LibStatus get_line_state(orv::DeviceHandle, uint32_t*) override { return 4; }
    orv::LibStatus set_special_chars(orv::DeviceHandle, uint8_t, uint8_t, uint8_t, uint8_t) override { return 4; }
    orv::LibStatus purge_buffers(orv::DeviceHandle, uint32_t) override { return 4; }
    orv::LibStatus set_io_timeouts(orv::DeviceHandle, uint32_t, uint32_t) override { return 4; }
    orv::LibStatus set_notification(orv::DeviceHandle, uint32_t, uint64_t) override { return 4; }
    orv::LibStatus get_queue_status(orv::DeviceHandle, uint32_t*, uint32_t*, uint32_t*) override { return 4; }
};

class QuietUi final : public orv::UiPort {
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    static NoDevice lib;
    static QuietUi ui;
    static orv::EngineHooks hooks;
    orv::ScopeContext ctx;
    orv::apply_startup_defaults(ctx);
    ctx.program_folder = orv::ProgramFolder("/nonexistent");
    orv::Torv& cur = ctx.current_settings;
    cur.run_mode = static_cast<orv::RunMode>(data[0] % 9);
    cur.time_base = static_cast<uint8_t>(data[1] % 24);
    cur.trigger_code = static_cast<uint8_t>(data[2] % 6);
    cur.trigger_level = static_cast<int16_t>(static_cast<int8_t>(data[3]));
    cur.trigger_x_percent = data[4] % 101;
    cur.view_offset = data[5] * 24;
    cur.single_armed = data[0] & 0x80 ? 1 : 0;
    orv::refresh_derived(ctx, cur);
    auto scope = std::make_unique<orv::Scope>(ctx, lib, ui, hooks);
    scope->start();
    scope->feed(data + 6, static_cast<uint32_t>(size - 6));
    return 0;
}
