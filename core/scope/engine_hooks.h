// SPDX-License-Identifier: MIT
// Where later subsystems plug into the acquisition engine: the calibration step, the recorder
// and real-time text recorders, the player and the logic analyser. Every hook defaults to
// "not present", so the engine runs alone.
#pragma once

#include <cstdint>

#include "core/scope/worker_jobs.h"

namespace orv {

class Scope;

class EngineHooks {
public:
    virtual ~EngineHooks() = default;

    // Automatic calibration: while it runs, block frames go to it instead of the display.
    virtual bool calibration_running() const { return false; }
    virtual bool calibration_dialog_showing() const { return false; }
    virtual void calibration_frame_ready(const Sample* /*frame*/, uint32_t /*length*/) {}
    virtual void calibration_step() {}
    virtual void refresh_calibration_view() {}

    // The recorder and the real-time text recorders append each committed frame.
    virtual void record_frame(const Sample* /*frame*/, uint32_t /*length*/) {}
    virtual bool realtime_text_recording() const { return false; }
    virtual void close_recording() {}

    // Playback: the player advances and loads FrameSettings with the played frame.
    virtual void player_advance(Scope& /*scope*/) {}

    // Logic analyser: the frame handler of a data packet in logic mode, the logic settings sent
    // after the scope settings, re-entering logic mode after a reconnection, and the logic
    // controls reset on a disconnect.
    virtual void logic_frame(Scope& /*scope*/) {}
    virtual bool logic_demo_running() const { return false; }
    virtual bool apply_logic_settings(Scope& /*scope*/) { return true; }
    virtual void enter_logic_mode(Scope& /*scope*/) {}
    virtual void reset_logic_controls() {}
    virtual void reset_logic_stream() {}
};

} // namespace orv
