// SPDX-License-Identifier: MIT
// Arbitrary byte streams through the packet assembler and the frame handlers. The first bytes
// choose the run mode, time base and trigger, so the roll and trigger paths are reached too.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/scope/acquisition.h"
#include "core/scope/null_ports.h"

namespace {

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    static orv::NoDeviceLibrary lib;
    static orv::NullUiPort ui;
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
