// SPDX-License-Identifier: MIT
#include "core/analysis/fft.h"

#include <algorithm>
#include <cmath>

namespace orv {
namespace {

constexpr int kStages = 11;
static_assert(1 << kStages == kFftPoints);
constexpr double kScale = kFftPoints * 0.5;
constexpr uint16_t kEndOfData = 256;

struct FftTables {
    std::array<uint16_t, kFftPoints> reversed{};
    // Stage with half-length h keeps its h twiddles at [h, 2h): entry h + j is the rotation
    // e^(+i 2pi j / 2h), i.e. table angle j * (N / 2h).
    alignas(64) std::array<double, kFftPoints> tw_re{};
    alignas(64) std::array<double, kFftPoints> tw_im{};

    FftTables() {
        for (int i = 0; i < kFftPoints; ++i) {
            int r = 0;
            for (int b = 0; b < kStages; ++b) r |= ((i >> b) & 1) << (kStages - 1 - b);
            reversed[static_cast<std::size_t>(i)] = static_cast<uint16_t>(r);
        }
        for (int h = 1; h < kFftPoints; h *= 2) {
            for (int j = 0; j < h; ++j) {
                const double theta = (j * (kFftPoints / (2 * h))) * kFftTwoPi / kFftPoints;
                tw_re[static_cast<std::size_t>(h + j)] = std::cos(theta);
                tw_im[static_cast<std::size_t>(h + j)] = std::sin(theta);
            }
        }
    }
};

const FftTables& tables() {
    static const FftTables t;
    return t;
}

} // namespace

FftEngine::FftEngine() { (void)tables(); }

void FftEngine::transform(const double* a, const double* b) {
    const FftTables& t = tables();
    for (int i = 0; i < kFftPoints; ++i) {
        const std::size_t r = t.reversed[static_cast<std::size_t>(i)];
        re_[r] = a[i];
        im_[r] = b[i];
    }
    transform_loaded();
}

void FftEngine::transform_loaded() {
    const FftTables& t = tables();
    double* __restrict re = re_.data();
    double* __restrict im = im_.data();

    // Half-length 1: the rotation is exactly 1.
    for (int s = 0; s < kFftPoints; s += 2) {
        const double xr = re[s + 1];
        const double xi = im[s + 1];
        re[s + 1] = re[s] - xr;
        im[s + 1] = im[s] - xi;
        re[s] += xr;
        im[s] += xi;
    }
    // Half-length 2 and up, two butterflies a step: written out so the pairs go into vector
    // registers at -O2 as well.
    for (int h = 2; h < kFftPoints; h *= 2) {
        const double* __restrict wr = t.tw_re.data() + h;
        const double* __restrict wi = t.tw_im.data() + h;
        for (int s = 0; s < kFftPoints; s += 2 * h) {
            double* __restrict lr = re + s;
            double* __restrict li = im + s;
            double* __restrict hr = re + s + h;
            double* __restrict hi = im + s + h;
            for (int j = 0; j < h; j += 2) {
                const double xr0 = hr[j] * wr[j] - hi[j] * wi[j];
                const double xr1 = hr[j + 1] * wr[j + 1] - hi[j + 1] * wi[j + 1];
                const double xi0 = hr[j] * wi[j] + hi[j] * wr[j];
                const double xi1 = hr[j + 1] * wi[j + 1] + hi[j + 1] * wr[j + 1];
                const double lr0 = lr[j], lr1 = lr[j + 1];
                const double li0 = li[j], li1 = li[j + 1];
                hr[j] = lr0 - xr0;
                hr[j + 1] = lr1 - xr1;
                hi[j] = li0 - xi0;
                hi[j + 1] = li1 - xi1;
                lr[j] = lr0 + xr0;
                lr[j + 1] = lr1 + xr1;
                li[j] = li0 + xi0;
                li[j + 1] = li1 + xi1;
            }
        }
    }
}

double FftEngine::unscaled(int channel, int bin) const {
    // Z = A + iB: A[k] = (Z[k] + conj Z[N-k]) / 2, B[k] = (Z[k] - conj Z[N-k]) / 2i.
    const std::size_t k = static_cast<std::size_t>(bin);
    const std::size_t m = (kFftPoints - k) & (kFftPoints - 1);
    double x;
    double y;
    if (channel == 0) {
        x = re_[k] + re_[m];
        y = im_[k] - im_[m];
    } else {
        x = im_[k] + im_[m];
        y = re_[m] - re_[k];
    }
    return std::sqrt(x * x + y * y) * 0.5 / kScale;
}

void FftEngine::compute(std::span<const uint16_t> samples, uint32_t valid, FftSpectrum& out) {
    const FftTables& t = tables();
    const std::size_t available = std::min<std::size_t>(samples.size(), valid);
    for (int i = 0; i < kFftPoints; ++i) {
        const std::size_t ia = 2 * static_cast<std::size_t>(i);
        const std::size_t r = t.reversed[static_cast<std::size_t>(i)];
        re_[r] = ia < available ? samples[ia] : kEndOfData;
        im_[r] = ia + 1 < available ? samples[ia + 1] : kEndOfData;
    }
    transform_loaded();

    double sum_a = 0.0;
    double sum_b = 0.0;
    out.magnitudes[0] = 0;
    out.magnitudes[1] = 0;
    for (int k = 1; k < kFftBins - 1; ++k) {
        const auto ma = static_cast<int16_t>(unscaled(0, k));
        const auto mb = static_cast<int16_t>(unscaled(1, k));
        out.magnitudes[2 * static_cast<std::size_t>(k)] = ma;
        out.magnitudes[2 * static_cast<std::size_t>(k) + 1] = mb;
        sum_a += ma;
        sum_b += mb;
    }
    out.magnitudes[2 * (kFftBins - 1)] = 0;
    out.magnitudes[2 * (kFftBins - 1) + 1] = 0;
    out.sum_a = sum_a;
    out.sum_b = sum_b;
}

} // namespace orv
