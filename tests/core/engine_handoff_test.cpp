// SPDX-License-Identifier: MIT
// What a worker's job holds: every entry of the record the renderer walks, not only the new ones.
#include "engine_fakes.h"

#include "core/scope/acquisition.h"

#include <algorithm>

namespace orv::test {
namespace {

TEST_F(EngineTest, JobCarriesTheWholeRecordSoAClearedViewIsEmpty) {
    connect();
    FakeWorker time;
    scope->set_worker(WorkerKind::Time, &time);
    tick_with(flat_packet(3072, 10, 20));
    ASSERT_EQ(time.jobs, 1);
    EXPECT_EQ(time.last().display_count, 6144u);
    EXPECT_EQ(time.last().samples[6143], 20);
    time.finish();

    // A run button clears the traces; the next hand-off has no new samples but the view still
    // spans the record: the job must read as end-of-data there, not as the previous frame.
    scope->clear_traces();
    scope->set_frame_length(0);
    scope->dispatch_frame();
    ASSERT_EQ(time.jobs, 2);
    const FrameJob& job = time.last();
    EXPECT_EQ(job.frame_length, 0u);
    ASSERT_EQ(job.display_count, 6144u);
    EXPECT_TRUE(std::all_of(job.samples.get(), job.samples.get() + job.display_count,
                            [](Sample s) { return s == kEndOfData; }));
}

TEST_F(EngineTest, JobCarriesALoadedDataFileWhole) {
    FakeWorker time;
    scope->set_worker(WorkerKind::Time, &time);
    set_mode(RunMode::Hold);
    Sample* load = scope->load_buffer();
    for (uint32_t i = 0; i < kJobSampleCapacity; ++i) load[i] = static_cast<Sample>(i % 200);
    scope->show_loaded_frame(kJobSampleCapacity);
    scope->set_handoff_allowed(true);
    scope->dispatch_frame();
    ASSERT_EQ(time.jobs, 1);
    EXPECT_EQ(time.last().display_count, kJobSampleCapacity);
    EXPECT_EQ(time.last().samples[kJobSampleCapacity - 1], (kJobSampleCapacity - 1) % 200);
}

} // namespace
} // namespace orv::test
