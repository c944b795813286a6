// SPDX-License-Identifier: MIT
// Engine throughput: an in-memory byte stream through the assembler, the frame handler, commit
// and dispatch to an idle time worker (which copies the frame; nothing is drawn). Reported as
// frames per second and as a ratio to 6 500 frames/s, the most a USB 2.0 link carries of
// 6147-byte packets.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/scope/acquisition.h"
#include "core/scope/null_ports.h"

namespace {

constexpr double kLinkCeilingFps = 6500.0;

// Always idle: every frame is copied into its job, as a worker that keeps up would see it.
class IdleWorker final : public orv::Worker {
public:
    bool try_acquire() override { return true; }
    orv::FrameJob& job() override { return job_; }
    void start() override { benchmark::DoNotOptimize(job_.samples[0]); }

private:
    orv::FrameJob job_;
};

std::vector<uint8_t> stream_of(int packets) {
    std::vector<uint8_t> bytes;
    for (int p = 0; p < packets; ++p) {
        bytes.push_back(6147 & 0xFF);
        bytes.push_back(6147 >> 8);
        bytes.push_back(orv::kDataPacketType);
        for (int i = 0; i < 6144; ++i) bytes.push_back(static_cast<uint8_t>(127 + ((i / 2 + p * 7) % 64) - 32));
    }
    return bytes;
}

void run(benchmark::State& state, int time_base, orv::RunMode mode) {
    orv::NoDeviceLibrary lib;
    orv::NullUiPort ui;
    orv::EngineHooks hooks;
    IdleWorker worker;
    orv::ScopeContext ctx;
    orv::apply_startup_defaults(ctx);
    ctx.current_settings.time_base = static_cast<uint8_t>(time_base);
    ctx.current_settings.run_mode = mode;
    ctx.current_settings.trigger_code = 2;
    orv::refresh_derived(ctx, ctx.current_settings);
    auto scope = std::make_unique<orv::Scope>(ctx, lib, ui, hooks);
    scope->set_worker(orv::WorkerKind::Time, &worker);
    scope->start();
    scope->first_frame_pending = false;
    constexpr int kPackets = 16;
    const std::vector<uint8_t> bytes = stream_of(kPackets);
    for (auto _ : state) scope->feed(bytes.data(), static_cast<uint32_t>(bytes.size()));
    const double frames = static_cast<double>(state.iterations()) * kPackets;
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_link_ceiling"] =
        benchmark::Counter(frames / kLinkCeilingFps, benchmark::Counter::kIsRate);
}

void BM_BlockFrames(benchmark::State& state) { run(state, 7, orv::RunMode::Auto); }
void BM_RollFrames1sPerDiv(benchmark::State& state) { run(state, 16, orv::RunMode::Auto); }
void BM_RollFramesSoftwareTrigger(benchmark::State& state) { run(state, 12, orv::RunMode::Normal); }

} // namespace

BENCHMARK(BM_BlockFrames);
BENCHMARK(BM_RollFrames1sPerDiv);
BENCHMARK(BM_RollFramesSoftwareTrigger);
BENCHMARK_MAIN();
