// SPDX-License-Identifier: MIT
#include "core/scope/setup_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace orv {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

double clamp_fraction(double f, double lo = 0.0, double hi = 1.0) {
    if (std::isnan(f)) return 0.0;
    return f < lo ? lo : (f > hi ? hi : f);
}

void repair_meter(int32_t& value, int32_t& unit) {
    if (value < 1 || value > 9999 || unit < 0 || unit > 1) {
        value = 1;
        unit = 1;
    }
}

void repair_prefs(UserPrefs& p) {
    repair_meter(p.meter_ra, p.meter_ra_unit);
    repair_meter(p.meter_rb, p.meter_rb_unit);
    // The fractions place the cursors on the image; outside 0..1 they would sit off the view.
    for (double& f : p.cursor_fractions) f = clamp_fraction(f);
    // FFT: the column runs 0..1 across; a level runs from 0 at its baseline to -1 at the top.
    p.fftview_cursor_fractions[0] = clamp_fraction(p.fftview_cursor_fractions[0]);
    for (int i : {1, 2}) p.fftview_cursor_fractions[i] = clamp_fraction(p.fftview_cursor_fractions[i], -1.0, 0.0);
    // The count bounds loops over the twelve read-outs.
    if (p.measure_count < 0 || p.measure_count > kMeasureReadouts) p.measure_count = kMeasureReadouts;
}

template <class T>
SetupLoadResult read_setup(const ScopeContext& ctx, std::string_view name, T& target, std::size_t size = sizeof(T)) {
    const auto file = ctx.program_folder.setup_file(name);
    const auto r = read_raw_file(file, std::as_writable_bytes(std::span<T, 1>(&target, 1)).first(size));
    if (r.status != SetupStatus::Ok) return {r.status, file};
    return {};
}

} // namespace

RawRead read_raw_file(const std::filesystem::path& file, std::span<std::byte> dst) {
    FilePtr f(std::fopen(file.c_str(), "rb"));
    if (!f) return {SetupStatus::CannotOpen, 0};
    const std::size_t n = std::fread(dst.data(), 1, dst.size(), f.get());
    if (std::ferror(f.get())) return {SetupStatus::OtherError, n};
    return {SetupStatus::Ok, n};
}

bool write_raw_file_atomic(const std::filesystem::path& file, std::span<const std::byte> bytes) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    auto tmp = file;
    tmp += ".tmp";
    std::FILE* raw = std::fopen(tmp.c_str(), "wb");
    if (!raw) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
    const bool flushed = std::fflush(raw) == 0;
    const bool closed = std::fclose(raw) == 0;
    if (!(written && flushed && closed)) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    std::filesystem::rename(tmp, file, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

SetupLoadResult read_language_file(ScopeContext& ctx) {
    const auto file = ctx.program_folder.setup_file(kLanguageFile);
    // A two-byte file keeps the option byte the program already had.
    std::byte bytes[kLanguageFileSize]{};
    std::memcpy(bytes, &ctx.language, 2);
    bytes[2] = static_cast<std::byte>(ctx.language_option);
    const auto r = read_raw_file(file, bytes);
    if (r.status != SetupStatus::Ok) return {r.status, file};
    std::memcpy(&ctx.language, bytes, 2);
    ctx.language_option = static_cast<uint8_t>(bytes[2]);
    ctx.button_3d_style = ctx.language_option;
    if (ctx.language < 0 || ctx.language > 1) ctx.language = 0;
    return {};
}

SetupLoadResult load_setup_files(ScopeContext& ctx) {
    SetupLoadResult r;
    if (!(r = read_setup(ctx, kLanguageFile, ctx.language)).ok()) return r;
    if (!(r = read_setup(ctx, kUserAdjustFile, ctx.user_gain_adjust)).ok()) return r;
    if (!(r = read_setup(ctx, kCalConstantFile, ctx.cal_constant)).ok()) return r;
    if (!(r = read_setup(ctx, kUserPrefsFile, ctx.user_prefs)).ok()) return r;
    if (!(r = read_setup(ctx, kDefaultPrefsFile, ctx.default_prefs)).ok()) return r;
    if (!(r = read_setup(ctx, kUserCalFile, ctx.offset_table)).ok()) return r;
    if (!(r = read_setup(ctx, kFactoryCalFile, ctx.factory_offset_table)).ok()) return r;
    if (!(r = read_setup(ctx, kLogicPrefsFile, ctx.logic_settings)).ok()) return r;
    repair_setup_values(ctx);
    recompute_scale(ctx);
    return {};
}

void repair_setup_values(ScopeContext& ctx) {
    if (ctx.language < 0 || ctx.language > 1) ctx.language = 0;
    if (!(ctx.user_gain_adjust >= 0.8 && ctx.user_gain_adjust <= 1.2)) ctx.user_gain_adjust = 1.0;
    // counts_per_div divides by the constant; a zero, negative or infinite one would turn every
    // reading into infinity or flip its sign.
    if (!(ctx.cal_constant > 0.0) || !std::isfinite(ctx.cal_constant)) ctx.cal_constant = 1.0;
    repair_prefs(ctx.user_prefs);
    repair_prefs(ctx.default_prefs);
}

bool save_user_prefs(ScopeContext& ctx) {
    const bool prefs = write_record(ctx.program_folder.setup_file(kUserPrefsFile), ctx.user_prefs);
    const bool logic = write_record(ctx.program_folder.setup_file(kLogicPrefsFile), ctx.logic_settings);
    return prefs && logic;
}

} // namespace orv
