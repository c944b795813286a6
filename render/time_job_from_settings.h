// SPDX-License-Identifier: MIT
// Fills the settings, preference and scale parts of a render job from the program's records.
#pragma once

#include "render/time_job.h"

namespace orv {
struct Torv;
struct UserPrefs;
} // namespace orv

namespace orv::render {

TraceSettings trace_settings(const orv::Torv& s);
TracePrefs trace_prefs(const orv::UserPrefs& p);

// Everything but the samples, the view and the window state (check boxes, swatches, cursors).
TimeJob time_job_from_settings(const orv::Torv& current, const orv::Torv& frame,
                               const orv::UserPrefs& prefs, int device_model, double volts_scale);

} // namespace orv::render
