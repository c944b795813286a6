// SPDX-License-Identifier: MIT
// One 3072-pair frame at 1920 x 1080 with grid, cursors, both channels and the math trace, on
// the line path and on the interpolated path. The counter "pct_of_40ms" is the render's CPU time
// as a percentage of the 40 ms frame period (CPU time: the machines that run it are shared).
#include "render/time_render.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr double kFramePeriodS = 0.040;

double thread_cpu_seconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void run(benchmark::State& state, bool interpolated) {
    std::vector<uint16_t> samples(6144);
    for (int i = 0; i < 3072; ++i) {
        samples[static_cast<std::size_t>(2 * i)] = static_cast<uint16_t>(127 + 100 * std::sin(i * 0.02));
        samples[static_cast<std::size_t>(2 * i + 1)] = static_cast<uint16_t>(127 + 60 * std::sin(i * 0.05));
    }
    orv::render::TimeJob job;
    job.samples = samples;
    job.record_length = 6144;
    job.fill_position = 6144;
    job.view_centre = 1536;
    job.timebar_position = 1536;
    job.prefs.show_a_plus_b = true;
    job.x1 = 500;
    job.x2 = 1000;
    job.y1 = 200;
    job.y2 = 600;
    if (interpolated) {
        job.current.time_base = job.frame.time_base = 17;
        job.current.time_per_div_ms = job.frame.time_per_div_ms = 0.00002;
        job.current.run_mode = 0;
        job.span_current = job.span_frame = 20;
    } else {
        job.span_current = job.span_frame = 2500;
    }
    QImage image(1920, 1080, QImage::Format_RGB32);
    orv::render::TimeRenderState render_state;
    const double cpu_start = thread_cpu_seconds();
    for (auto _ : state) {
        benchmark::DoNotOptimize(orv::render::render_time(job, image, render_state));
    }
    const double per_frame = (thread_cpu_seconds() - cpu_start) / static_cast<double>(state.iterations());
    state.counters["pct_of_40ms"] = 100.0 * per_frame / kFramePeriodS;
}

void BM_TimeRender_LinePath(benchmark::State& state) { run(state, false); }
void BM_TimeRender_Interpolated(benchmark::State& state) { run(state, true); }
BENCHMARK(BM_TimeRender_LinePath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeRender_Interpolated)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
