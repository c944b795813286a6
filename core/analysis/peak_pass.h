// SPDX-License-Identifier: MIT
// The whole PeakThread pass over one job: the measurements, the frequency-tracking decision and,
// when the multimeter is shown, its readings. The worker calls it and hands the output to the
// main thread, which fills the labels and applies the decision.
#pragma once

#include <cstdint>

#include "core/analysis/measurements.h"
#include "core/analysis/multimeter.h"
#include "core/scope/worker_jobs.h"

namespace orv {

// What the pass needs beyond the job's copies.
struct PeakPassOptions {
    FrequencyTracking tracking = FrequencyTracking::None; // "FA" / "FB" / "NFT"
    uint32_t frame_count = 6144;                          // entries per instrument frame
    bool meter_visible = false;
};

struct PeakPassOutput {
    MeasureResult measure;
    TrackingDecision tracking;
    MeterReadings meter;
    bool meter_updated = false;
};

void run_peak_pass(const FrameJob& job, const PeakPassOptions& options, PeakPassOutput& out);

} // namespace orv
