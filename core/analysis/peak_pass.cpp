// SPDX-License-Identifier: MIT
#include "core/analysis/peak_pass.h"

#include <algorithm>

namespace orv {

void run_peak_pass(const FrameJob& job, const PeakPassOptions& options, PeakPassOutput& out) {
    const uint32_t valid = std::min(job.frame_length, kJobSampleCapacity);
    const std::span<const uint16_t> samples(job.samples.get(), valid);
    const Torv& f = job.frame_settings;

    measure_frame(samples, job.frame_length, measure_frame_from(f, job.device_model, job.counts_per_div), out.measure);

    TrackingInput in;
    in.mode = options.tracking;
    in.run_mode = job.current_settings.run_mode;
    in.frame_length = job.frame_length;
    in.frame_count = options.frame_count;
    in.time_base = f.time_base;
    in.time_per_div_ms = f.time_per_div_ms;
    in.position = options.tracking == FrequencyTracking::ChannelB ? f.b_position : f.a_position;
    in.device_model = job.device_model;
    out.tracking = decide_tracking(out.measure, samples, in);

    out.meter_updated = options.meter_visible;
    if (options.meter_visible) {
        // Ra and Rb as "Change" set them: the typed number in its unit.
        const MeterChannelInput a{f.a_volts_per_div, f.a_position, meter_ohms(job.prefs.meter_ra, job.prefs.meter_ra_unit)};
        const MeterChannelInput b{f.b_volts_per_div, f.b_position, meter_ohms(job.prefs.meter_rb, job.prefs.meter_rb_unit)};
        meter_update(samples, job.frame_length, a, b, job.counts_per_div, out.meter);
    }
}

} // namespace orv
