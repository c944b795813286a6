// SPDX-License-Identifier: MIT
// Spectra of both channels of one frame, ours against FFTW doing the same work: two 2048-point
// complex transforms with the e^(+i) kernel, the magnitudes trunc(|X| / 1024) of bins 1..1023 and
// their sums. Prints ours / FFTW at the end; the target is at most 2.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/analysis/fft.h"

namespace {

constexpr int N = orv::kFftPoints;

std::vector<uint16_t> random_frame() {
    std::mt19937 rng(5800);
    std::vector<uint16_t> r(2 * N);
    for (auto& v : r) v = static_cast<uint16_t>(rng() % 256);
    return r;
}

void BM_Ours(benchmark::State& state) {
    const auto frame = random_frame();
    orv::FftEngine engine;
    orv::FftSpectrum spectrum;
    for (auto _ : state) {
        engine.compute(frame, static_cast<uint32_t>(frame.size()), spectrum);
        benchmark::DoNotOptimize(spectrum);
    }
}
BENCHMARK(BM_Ours);

void BM_Fftw(benchmark::State& state) {
    const auto frame = random_frame();
    auto* in = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * N));
    auto* out = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * N));
    fftw_plan plan = fftw_plan_dft_1d(N, in, out, FFTW_BACKWARD, FFTW_MEASURE);
    orv::FftSpectrum spectrum;
    for (auto _ : state) {
        double sums[2] = {0.0, 0.0};
        for (int ch = 0; ch < 2; ++ch) {
            for (int t = 0; t < N; ++t) {
                in[t][0] = frame[2 * static_cast<std::size_t>(t) + static_cast<std::size_t>(ch)];
                in[t][1] = 0.0;
            }
            fftw_execute(plan);
            for (int k = 1; k < N / 2; ++k) {
                const auto m = static_cast<int16_t>(std::sqrt(out[k][0] * out[k][0] + out[k][1] * out[k][1]) / (N * 0.5));
                spectrum.magnitudes[2 * static_cast<std::size_t>(k) + static_cast<std::size_t>(ch)] = m;
                sums[ch] += m;
            }
        }
        spectrum.sum_a = sums[0];
        spectrum.sum_b = sums[1];
        benchmark::DoNotOptimize(spectrum);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_Fftw);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        const auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.time("BM_Ours");
    const double fftw = reporter.time("BM_Fftw");
    if (ours > 0.0 && fftw > 0.0) std::printf("spectra of a frame, ours / FFTW: %.2f (target at most 2)\n", ours / fftw);
    benchmark::Shutdown();
    return 0;
}
