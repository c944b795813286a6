// SPDX-License-Identifier: MIT
// The setup files: raw little-endian images without header, read at start-up from the program
// folder's "setup/" and (usp.vit, logic_usp.vit) written back on exit.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string_view>

#include "core/scope/scope_context.h"

namespace orv {

inline constexpr std::string_view kLanguageFile = "language.vit";
inline constexpr std::string_view kUserAdjustFile = "uadj.vit";
inline constexpr std::string_view kCalConstantFile = "cali_const.vit";
inline constexpr std::string_view kFactoryConstantFile = "def_const.vit";
inline constexpr std::string_view kUserPrefsFile = "usp.vit";
inline constexpr std::string_view kDefaultPrefsFile = "dsp.vit";
inline constexpr std::string_view kUserCalFile = "ucal.vit";
inline constexpr std::string_view kFactoryCalFile = "dcal.vit";
inline constexpr std::string_view kLogicPrefsFile = "logic_usp.vit";

inline constexpr std::size_t kLanguageFileSize = 3; // i16 code + option byte

// The fatal start-up texts (message, caption).
inline constexpr std::string_view kSetupOpenErrorMessage = "Can't Open Setup File!";
inline constexpr std::string_view kSetupOtherErrorMessage = "Can't Open Setup Files.";
inline constexpr std::string_view kSetupErrorCaption = "Open Error";

enum class SetupStatus { Ok, CannotOpen, OtherError };

struct SetupLoadResult {
    SetupStatus status = SetupStatus::Ok;
    std::filesystem::path file; // the file that failed, for diagnostics

    bool ok() const { return status == SetupStatus::Ok; }
    std::string_view message() const {
        return status == SetupStatus::CannotOpen ? kSetupOpenErrorMessage
               : status == SetupStatus::OtherError ? kSetupOtherErrorMessage : std::string_view{};
    }
    std::string_view caption() const { return ok() ? std::string_view{} : kSetupErrorCaption; }
};

// The early read at the start of main-window creation: language code and option byte (both
// option copies are set). A code outside 0..1 becomes 0.
SetupLoadResult read_language_file(ScopeContext& ctx);

// Reads every start-up setup file in order, repairs out-of-range values and recomputes the
// scale. The first failure stops the load; the caller shows the message and ends.
SetupLoadResult load_setup_files(ScopeContext& ctx);

// The value repairs done after the load (also for values that came from elsewhere).
void repair_setup_values(ScopeContext& ctx);

// usp.vit (344 bytes) then logic_usp.vit (48 bytes), each written beside and renamed over the
// old file so a failed write never leaves a truncated file. Errors are not shown; the result is
// false if either write failed.
bool save_user_prefs(ScopeContext& ctx);

// Raw file helpers shared by the setup, calibration and mode files.
struct RawRead {
    SetupStatus status = SetupStatus::Ok;
    std::size_t bytes = 0;
};
// Reads at most dst.size() bytes from the start of the file; the rest of dst is untouched.
RawRead read_raw_file(const std::filesystem::path& file, std::span<std::byte> dst);
// Writes the bytes to a temporary file in the same folder and renames it over `file`.
bool write_raw_file_atomic(const std::filesystem::path& file, std::span<const std::byte> bytes);

template <class T>
RawRead read_record(const std::filesystem::path& file, T& record) {
    return read_raw_file(file, std::as_writable_bytes(std::span<T, 1>(&record, 1)));
}
template <class T>
bool write_record(const std::filesystem::path& file, const T& record) {
    return write_raw_file_atomic(file, std::as_bytes(std::span<const T, 1>(&record, 1)));
}

} // namespace orv
