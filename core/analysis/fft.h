// SPDX-License-Identifier: MIT
// Amplitude spectra of both channels of a frame: the first 2048 raw codes of each channel, no
// centring and no window, transformed with the kernel e^(+i 2 pi k t / 2048) where 2 pi is taken
// as 6.2831852, and scaled to trunc(|X| / 1024). Bins 0 and 1024 read zero.
//
// One complex transform of A + iB gives both spectra (they separate by the symmetry of a real
// input), with the bit reversal folded into the load and the twiddles of every stage laid out
// contiguously. The tables are built once per process; an FftEngine only owns its work arrays,
// so each thread that transforms keeps its own engine.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace orv {

inline constexpr int kFftPoints = 2048;
inline constexpr int kFftBins = kFftPoints / 2 + 1; // 0..1024
inline constexpr double kFftTwoPi = 6.2831852;      // the system's 2 pi, kept for equal spectra

struct FftSpectrum {
    // One (A, B) pair per bin, interleaved like the sample record.
    std::array<int16_t, 2 * kFftBins> magnitudes{};
    // Sums of bins 1..1023 of each channel (the full height of the Percent scheme).
    double sum_a = 0.0;
    double sum_b = 0.0;

    int16_t a(int bin) const { return magnitudes[2 * static_cast<std::size_t>(bin)]; }
    int16_t b(int bin) const { return magnitudes[2 * static_cast<std::size_t>(bin) + 1]; }
};

class FftEngine {
public:
    FftEngine();

    // Spectra of the interleaved record; entries at or beyond `valid` (or beyond the span) read as
    // the end-of-data code 256, as the empty positions of the display buffer do.
    void compute(std::span<const uint16_t> samples, uint32_t valid, FftSpectrum& out);

    // The transform alone, for two real sequences of kFftPoints values; afterwards `unscaled`
    // gives |X_A[k]| / 1024 and |X_B[k]| / 1024 before truncation (k = 0..1023).
    void transform(const double* a, const double* b);
    double unscaled(int channel, int bin) const;

private:
    void transform_loaded();

    alignas(64) std::array<double, kFftPoints> re_{};
    alignas(64) std::array<double, kFftPoints> im_{};
};

} // namespace orv
