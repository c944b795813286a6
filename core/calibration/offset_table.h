// SPDX-License-Identifier: MIT
// Per-instrument offset-DAC codes: ten blocks (one per volts/div index), each 256 pairs
// (channel A, channel B); the pair for vertical position p is number 127 - p, so position 127
// comes first and -128 last. Stored as the raw 10240-byte little-endian image.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

inline constexpr int kOffsetBlocks = 10;
inline constexpr int kOffsetPairs = 256;
inline constexpr int kOffsetPositionMin = -128;
inline constexpr int kOffsetPositionMax = 127;

enum class Channel : int { A = 0, B = 1 };

struct OffsetTable {
    int16_t entries[kOffsetBlocks][kOffsetPairs][2]{};

    // Position is clamped to -128..127; an index outside 0..9 uses block 7 (1 V/div), as the
    // volts/div table does. Only the low 12 bits reach the instrument.
    int16_t offset_for(Channel channel, int volt_div_index, int position) const;
    void set(Channel channel, int volt_div_index, int position, int16_t value);

    // Pair number of a position, clamped: 127 -> 0, -128 -> 255.
    static constexpr int pair_of(int position) {
        const int p = position < kOffsetPositionMin ? kOffsetPositionMin
                                                    : (position > kOffsetPositionMax ? kOffsetPositionMax : position);
        return 127 - p;
    }
    static constexpr int block_of(int volt_div_index) {
        return (volt_div_index >= 0 && volt_div_index < kOffsetBlocks) ? volt_div_index : 7;
    }
};

static_assert(sizeof(OffsetTable) == 10240);
static_assert(offsetof(OffsetTable, entries) == 0);

namespace calibration {
// The table a unit that follows the nominal DAC transfer exactly would calibrate to; it is
// shipped as "dcal.vit" and as the first "ucal.vit". A and B get the same code.
OffsetTable nominal_offset_table();
} // namespace calibration

} // namespace orv
