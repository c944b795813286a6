// SPDX-License-Identifier: MIT
#include "core/calibration/calibration_data.h"

#include <cmath>
#include <cstring>
#include <string>

#include "core/scope/setup_files.h"

namespace orv::calibration {

std::string instrument_calibration_file(std::string_view cal_name) {
    std::string name(cal_name);
    name += ".vit";
    return name;
}

bool load_instrument_calibration(ScopeContext& ctx, std::string_view cal_name) {
    const RawRead r = read_record(ctx.program_folder.setup_file(instrument_calibration_file(cal_name)),
                                  ctx.offset_table);
    return r.status == SetupStatus::Ok;
}

bool store_calibration(ScopeContext& ctx, const int16_t (&blocks)[kOffsetBlocks][kBlockEntries],
                       std::string_view cal_name) {
    static_assert(sizeof(blocks) == sizeof(ctx.offset_table.entries));
    std::memcpy(ctx.offset_table.entries, blocks, sizeof(blocks));
    ctx.cal_constant = 1.0;
    recompute_scale(ctx);
    bool ok = write_record(ctx.program_folder.setup_file(kUserCalFile), ctx.offset_table);
    ok = write_record(ctx.program_folder.setup_file(instrument_calibration_file(cal_name)), ctx.offset_table) && ok;
    ok = write_record(ctx.program_folder.setup_file(kCalConstantFile), ctx.cal_constant) && ok;
    return ok;
}

bool factory_recovery(ScopeContext& ctx) {
    ctx.offset_table = ctx.factory_offset_table;
    if (!write_record(ctx.program_folder.setup_file(kUserCalFile), ctx.offset_table)) return false;
    double constant = 0.0;
    if (read_record(ctx.program_folder.setup_file(kFactoryConstantFile), constant).status != SetupStatus::Ok)
        return false;
    // A zero or NaN constant would make counts_per_div infinite; start-up repairs it the same way.
    ctx.cal_constant = (constant == 0.0 || std::isnan(constant)) ? 1.0 : constant;
    if (!write_record(ctx.program_folder.setup_file(kCalConstantFile), ctx.cal_constant)) return false;
    recompute_scale(ctx);
    return true;
}

} // namespace orv::calibration
