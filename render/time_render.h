// SPDX-License-Identifier: MIT
// The time-domain renderer of the oscilloscope view: a pure function of the job and the image,
// plus the ordinate table and scratch space that persist between frames.
#pragma once

#include "render/time_job.h"

#include <memory>

class QImage;

namespace orv::render {

// Owned by whoever renders (one per worker): the ordinate table keeps entries of earlier frames
// beyond what the current frame refills, and the polyline scratch is sized once.
class TimeRenderState {
public:
    TimeRenderState();
    ~TimeRenderState();
    TimeRenderState(const TimeRenderState&) = delete;
    TimeRenderState& operator=(const TimeRenderState&) = delete;

    OrdinateTable& ordinates() { return *ordinates_; }
    const OrdinateTable& ordinates() const { return *ordinates_; }
    struct Scratch;
    Scratch& scratch() { return *scratch_; }

private:
    std::unique_ptr<OrdinateTable> ordinates_;
    std::unique_ptr<Scratch> scratch_;
};

// Draws the frame into `image` (any size; nothing is drawn below 2 x 2 pixels). Throws only
// what QPainter or the allocator throws.
TimeResult render_time(const TimeJob& job, QImage& image, TimeRenderState& state);

} // namespace orv::render
