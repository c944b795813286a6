// SPDX-License-Identifier: MIT
// The state of one running scope program: the three settings records, the preferences, the
// calibration data and the derived scale. Created once at start-up and passed by reference;
// the acquisition engine and the windows keep a reference to it rather than globals.
#pragma once

#include <cstdint>

#include "core/calibration/offset_table.h"
#include "core/logic/logic_settings.h"
#include "core/scope/program_folder.h"
#include "core/scope/tables.h"
#include "core/scope/torv.h"
#include "core/scope/user_prefs.h"

namespace orv {

inline constexpr int kDisplayCount = 6144;   // sample entries of a full frame (A and B interleaved)
inline constexpr double kCountsPerDivNeutral = 25.0;

struct ScopeContext {
    Torv current_settings;  // CurrentSettings: what the front panel edits and the link sends
    Torv frame_settings;    // FrameSettings: the frame on screen; renderers scale with it
    Torv sent_settings;     // SentSettings: what the instrument last received
    UserPrefs user_prefs;
    UserPrefs default_prefs;
    OffsetTable offset_table;
    OffsetTable factory_offset_table;
    LogicSettings logic_settings;
    LogicSettings logic_frame_settings;

    double user_gain_adjust = 1.0;
    double cal_constant = 1.0;
    double volts_scale = 1.0;
    double counts_per_div = kCountsPerDivNeutral;

    int device_model = kDefaultDeviceModel;
    int16_t language = 0;           // 0 English, 1 Chinese
    uint8_t language_option = 0;    // stored "Button 3D Style" byte
    uint8_t button_3d_style = 0;    // the copy taken at start-up; the knob drawing reads this one

    ProgramFolder program_folder;
};

// volts_scale and counts_per_div from user_gain_adjust and cal_constant.
void recompute_scale(ScopeContext& ctx);

// All derived fields of `s` with the probe codes, model and scale of `ctx`.
void refresh_derived(const ScopeContext& ctx, Torv& s);

// The defaults of the main-window creation: DC coupling, 1 ms/div, 5 V/div, centred positions and
// level, rising edge on A, trigger at 50 % and the view offset of a full frame. SentSettings is
// made to differ (49 % and Demo) so the first send transmits everything. Derived values follow.
void apply_startup_defaults(ScopeContext& ctx);

// The settings side of applying the loaded preferences: the read-out count into CurrentSettings,
// the channel-invert preferences cleared (they never survive a restart), probe factors into the
// derived volts/div.
void apply_user_prefs(ScopeContext& ctx);

// When a connection is established: Auto, 1 ms/div, 5 V/div, centred, and every compared group of
// SentSettings set to the current value plus one so the next send transmits everything.
void reset_scope_defaults(ScopeContext& ctx);

} // namespace orv
