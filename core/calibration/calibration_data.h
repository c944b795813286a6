// SPDX-License-Identifier: MIT
// The calibration files beyond the start-up load: the per-instrument table, the conversion of a
// raw sample to volts, what a finished calibration stores and the factory recovery.
#pragma once

#include <string_view>

#include "core/scope/scope_context.h"

namespace orv::calibration {

inline constexpr std::string_view kNoCalibrationMessage =
    "No Calibration Data About This Device.\r\nThis Oscilloscope Need To Be Auto-Calibrated.";
inline constexpr std::string_view kFactoryRecoveryMessage = "Can't Operate Setup Files.";
inline constexpr std::string_view kFactoryRecoveryCaption = "Factory Recovery Error";

// Entries of one measured block: 256 pairs (A, B) of one volts/div index.
inline constexpr int kBlockEntries = 2 * kOffsetPairs;

// The per-instrument file name: `cal_name` + ".vit".
std::string instrument_calibration_file(std::string_view cal_name);

// Reads "cal_<identifier>.vit" from the setup folder over `offset_table` (a short file leaves the
// rest as it was). False when the file cannot be opened; the table is then untouched.
bool load_instrument_calibration(ScopeContext& ctx, std::string_view cal_name);

// volts = (127 - raw - position) x volts_per_div / counts_per_div. 256 is no sample; callers
// skip it.
constexpr double raw_to_volts(int raw, int position, double volts_per_div, double counts_per_div) {
    return (127 - raw - position) * volts_per_div / counts_per_div;
}

// The end of a successful automatic calibration: the ten measured blocks become the offset
// table, the gain constant returns to 1.0, and "ucal.vit", the instrument's own file and
// "cali_const.vit" are written. False when a file could not be written.
bool store_calibration(ScopeContext& ctx, const int16_t (&blocks)[kOffsetBlocks][kBlockEntries],
                       std::string_view cal_name);

// Restores the shipped table and constant and writes them as the user's. False on any file
// error; the caller shows kFactoryRecoveryMessage with kFactoryRecoveryCaption.
bool factory_recovery(ScopeContext& ctx);

} // namespace orv::calibration
