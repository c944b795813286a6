// SPDX-License-Identifier: MIT
// The hand-off of a frame to the worker threads. A job carries its own copy of everything its
// worker reads (samples, settings, preferences, control values), so no worker ever reads memory
// the main thread writes; the worker hands back what it publishes with its result.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/logic/logic_settings.h"
#include "core/scope/torv.h"
#include "core/scope/user_prefs.h"

namespace orv {

using Sample = uint16_t;
inline constexpr Sample kEndOfData = 256; // no sample: ends every drawing and measuring loop

// The largest record a job carries: a loaded data file of 32 000 entries.
inline constexpr uint32_t kJobSampleCapacity = 32000;

enum class WorkerKind : uint8_t { Time, Correlation, Xy, Stereo, Peak, Fft };
inline constexpr int kWorkerKinds = 6;

// Main-window state the workers and the hand-off read. The application keeps it current (main
// thread); each job takes a copy.
struct ControlValues {
    bool show_a = true;        // CheckBox1
    bool show_b = true;        // CheckBox2
    bool show_trigger = true;  // CheckBox3
    int measure_panel_height = 0;
    bool fft_visible = false;
    bool xy_visible = false;
    bool correlation_visible = false;
    bool stereo_visible = false;
};

struct FrameJob {
    FrameJob() : samples(std::make_unique<Sample[]>(kJobSampleCapacity)) {}

    WorkerKind kind = WorkerKind::Time;
    std::unique_ptr<Sample[]> samples; // kJobSampleCapacity entries, allocated once
    uint32_t frame_length = 0;         // entries valid in `samples`
    uint32_t display_count = 0;
    int32_t view_centre = 0;           // timebar maximum - position
    int32_t timebar_maximum = 0;
    bool logic_mode = false;
    int device_model = 0;
    double volts_scale = 1.0;
    double counts_per_div = 25.0;
    Torv frame_settings;
    Torv current_settings;
    UserPrefs prefs;
    LogicSettings logic_frame_settings;
    ControlValues controls;
};

// One worker thread as the application implements it. The engine calls these on the main thread.
class Worker {
public:
    virtual ~Worker() = default;
    // Takes the worker's busy flag if it is clear. A busy worker is skipped, never queued.
    virtual bool try_acquire() = 0;
    // The worker's job, filled by the engine between try_acquire and start.
    virtual FrameJob& job() = 0;
    // Runs the job; the worker clears its busy flag when it has published its result.
    virtual void start() = 0;
};

} // namespace orv
