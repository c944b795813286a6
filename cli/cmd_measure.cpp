// SPDX-License-Identifier: MIT
// "measure FILE.dat [--model M]": the twelve measurement texts of a data file's frame, one a line,
// in selection-index order. The file's trailer gives the frame settings, the program folder's
// setup files the counts per division.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/analysis/measurements.h"
#include "core/files/dat_file.h"
#include "core/scope/setup_files.h"
#include "core/scope/tables.h"

namespace orv::cli {
namespace {

constexpr const char* kUsage = "usage: orv5800-cli [--home DIR] measure FILE.dat [--model M]\n";

int fail_load(const std::string& path, files::DatStatus status) {
    if (status == files::DatStatus::Rejected) {
        std::fprintf(stderr,
                     "orv5800-cli measure: %s: not an oscilloscope data file "
                     "(under 50 bytes, over 32000 entries or a bad trailer)\n",
                     path.c_str());
    } else {
        std::fprintf(stderr, "Can't perform file operations: Open, Read or Close.\n%s\n", path.c_str());
    }
    return kExitFailure;
}

int measure(const GlobalOptions& options, Args args) {
    std::string path;
    int model = kDefaultDeviceModel;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--model") {
            const std::string_view v = i + 1 < args.size() ? args[++i] : std::string_view{};
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), model);
            if (v.empty() || ec != std::errc{} || end != v.data() + v.size() || model < 0 || model >= kModels) {
                std::fprintf(stderr, "orv5800-cli measure: --model needs a model code 0..5\n%s", kUsage);
                return kExitUsage;
            }
        } else if (path.empty() && !a.starts_with("-")) {
            path = std::string(a);
        } else {
            std::fprintf(stderr, "orv5800-cli measure: unexpected argument %.*s\n%s", static_cast<int>(a.size()),
                         a.data(), kUsage);
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    ScopeContext ctx;
    ctx.program_folder = options.program_folder;
    SetupLoadResult setup = read_language_file(ctx);
    if (setup.ok()) setup = load_setup_files(ctx);
    if (!setup.ok()) {
        const auto message = setup.message();
        std::fprintf(stderr, "%.*s\n%s\n", static_cast<int>(message.size()), message.data(), setup.file.c_str());
        return kExitFailure;
    }

    std::vector<uint16_t> buffer(files::kDatLoadBufferEntries, kMeasureEndOfData);
    const files::DatLoad load =
        files::read_dat_file(path, std::span<uint16_t, files::kDatLoadBufferEntries>(buffer.data(), buffer.size()));
    if (load.status != files::DatStatus::Ok) return fail_load(path, load.status);

    // As opening the file in the program does: the plain volts/div of the loaded index (no probe
    // factor) and the time base's ms/div.
    Torv frame;
    frame.time_base = load.settings.time_base;
    frame.a_volt_div = load.settings.a_volt_div;
    frame.b_volt_div = load.settings.b_volt_div;
    frame.a_position = load.settings.a_position;
    frame.b_position = load.settings.b_position;
    refresh_derived(frame, 0, 0, model, ctx.counts_per_div);

    MeasureResult result;
    measure_frame(std::span<const uint16_t>(buffer.data(), load.entries), load.entries,
                  measure_frame_from(frame, model, ctx.counts_per_div), result);
    for (const ReadoutText& t : result.texts) std::printf("%.*s\n", static_cast<int>(t.size()), t.view().data());
    return kExitOk;
}

} // namespace

ORV_CLI_COMMAND("measure", "FILE.dat [--model M]", "the twelve measurement texts of a data file's frame", measure);

} // namespace orv::cli
