// SPDX-License-Identifier: MIT
// The X-Y plot, the correlation map and the S map as pixel geometry: pure functions of the
// interleaved raw codes and the image size, so their painters only fill and draw lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orv {

struct MapPoint {
    int x = 0;
    int y = 0;
    bool operator==(const MapPoint&) const = default;
};

struct MapRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const MapRect&) const = default;
};

// Both maps centre the raw codes at 128 (not 127).
inline constexpr double kMapCentreCode = 128.0;

// --- X-Y plot ------------------------------------------------------------------------------------

enum class XyMode : uint8_t { AVsB = 0, BVsA = 1 }; // AVsB: B across, A down

// Code 0 maps to the top row and left column, 255 to the bottom row and right column; the
// end-of-data code 256 is scaled like any code (it lands on or just past the last row, where
// drawing clips).
MapPoint xy_point(int a, int b, int width, int height, XyMode mode);

// The polyline of a frame: the move target (pair 0) followed by every pair 0..count/2 - 1.
// Writes at most out.size() points and returns how many were written; pairs beyond the span of
// `samples` are not visited.
std::size_t xy_polyline(std::span<const uint16_t> samples, uint32_t count, int width, int height,
                        XyMode mode, std::span<MapPoint> out);

// --- Correlation map -----------------------------------------------------------------------------

// Correlation of A and B about the fixed centre code 128 (means not removed) over count/2 pairs;
// 0 when either channel has no energy about the centre.
double correlation_coefficient(std::span<const uint16_t> samples, uint32_t count);

// The bar column for r in an image `width` pixels wide: -1 at the left edge, +1 at the right
// (pulled in to width - 5 so the whole bar stays visible).
int correlation_bar_x(double r, int width);
MapRect correlation_bar(double r, int width, int height);

// --- S map ---------------------------------------------------------------------------------------

// One pair rotated by 45 degrees about the centre (H/2, H/2): the channel sum runs vertically,
// the difference horizontally. The width is not used; a wide image puts the figure left of middle.
MapPoint smap_point(int a, int b, int height);

// As xy_polyline, for the S map.
std::size_t smap_polyline(std::span<const uint16_t> samples, uint32_t count, int height,
                          std::span<MapPoint> out);

} // namespace orv
