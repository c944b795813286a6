// SPDX-License-Identifier: MIT
#include "core/analysis/maps.h"

#include <algorithm>
#include <cmath>

namespace orv {
namespace {

constexpr double kQuarterPi = 0.7853981633974483;
const double kCos45 = std::cos(kQuarterPi);
const double kSin45 = std::sin(kQuarterPi);

std::size_t pairs_in(std::span<const uint16_t> samples, uint32_t count) {
    return std::min<std::size_t>(count / 2, samples.size() / 2);
}

template <typename PointOf>
std::size_t polyline(std::span<const uint16_t> samples, uint32_t count, std::span<MapPoint> out,
                     PointOf point_of) {
    if (out.empty() || samples.size() < 2) return 0;
    const std::size_t pairs = pairs_in(samples, count);
    out[0] = point_of(samples[0], samples[1]);
    std::size_t n = 1;
    for (std::size_t i = 0; i < pairs && n < out.size(); ++i, ++n) {
        out[n] = point_of(samples[2 * i], samples[2 * i + 1]);
    }
    return n;
}

} // namespace

MapPoint xy_point(int a, int b, int width, int height, XyMode mode) {
    const double kx = width * (1.0 / 255.0);
    const double ky = height * (1.0 / 255.0);
    if (mode == XyMode::BVsA) return {static_cast<int>(a * kx), static_cast<int>(b * ky)};
    return {static_cast<int>(b * kx), static_cast<int>(a * ky)};
}

std::size_t xy_polyline(std::span<const uint16_t> samples, uint32_t count, int width, int height,
                        XyMode mode, std::span<MapPoint> out) {
    return polyline(samples, count, out,
                    [=](int a, int b) { return xy_point(a, b, width, height, mode); });
}

double correlation_coefficient(std::span<const uint16_t> samples, uint32_t count) {
    const std::size_t pairs = pairs_in(samples, count);
    double sab = 0.0;
    double saa = 0.0;
    double sbb = 0.0;
    for (std::size_t i = 0; i < pairs; ++i) {
        const double a = samples[2 * i] - kMapCentreCode;
        const double b = samples[2 * i + 1] - kMapCentreCode;
        sab += a * b;
        saa += a * a;
        sbb += b * b;
    }
    const double d = std::sqrt(saa * sbb);
    return d != 0.0 ? sab / d : 0.0;
}

int correlation_bar_x(double r, int width) {
    const int h = width / 2;
    int x = static_cast<int>(h * r + h);
    if (x + 8 >= width) x = width - 5;
    return x;
}

MapRect correlation_bar(double r, int width, int height) {
    const int x = correlation_bar_x(r, width);
    return {x - 4, 5, x + 4, height - 5};
}

MapPoint smap_point(int a, int b, int height) {
    const int g = height / 2;
    const double k = g * 0.707 * 0.00390625;
    const double da = a - kMapCentreCode;
    const double db = b - kMapCentreCode;
    return {static_cast<int>(g + (kCos45 * da - kSin45 * db) * k),
            static_cast<int>(g + (kCos45 * da + kSin45 * db) * k)};
}

std::size_t smap_polyline(std::span<const uint16_t> samples, uint32_t count, int height,
                          std::span<MapPoint> out) {
    return polyline(samples, count, out, [=](int a, int b) { return smap_point(a, b, height); });
}

} // namespace orv
