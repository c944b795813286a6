// SPDX-License-Identifier: MIT
// The records are stored in files written by other builds, so each image is checked against
// bytes placed by hand rather than against the struct itself.
#include <gtest/gtest.h>

#include <cstring>

#include "core/calibration/offset_table.h"
#include "core/logic/logic_settings.h"
#include "core/scope/byte_image.h"
#include "core/scope/torv.h"
#include "core/scope/user_prefs.h"

namespace orv {
namespace {

template <class T>
void put(uint8_t* image, std::size_t offset, T value) {
    std::memcpy(image + offset, &value, sizeof value);
}

TEST(TorvImage, ConstructedRecordIsAllZero) {
    const auto bytes = to_bytes(Torv{});
    for (uint8_t b : bytes) ASSERT_EQ(b, 0);
    EXPECT_EQ(Torv{}.run_mode, RunMode::Hold);
}

TEST(TorvImage, FieldsLandAtTheirOffsets) {
    std::array<uint8_t, 128> image{};
    put<int16_t>(image.data(), 0x04, 12);
    put<int32_t>(image.data(), 0x10, 2);
    image[0x14] = 7;
    image[0x16] = 23;
    put<double>(image.data(), 0x18, 0.002);
    image[0x29] = 9;
    put<double>(image.data(), 0x38, 0.5);
    put<int16_t>(image.data(), 0x42, -126);
    image[0x59] = 4;
    image[0x5B] = 5;
    put<int16_t>(image.data(), 0x5C, -40);
    put<double>(image.data(), 0x70, 49.0);
    put<int32_t>(image.data(), 0x78, 1536);

    const auto s = from_bytes<Torv>(image);
    EXPECT_EQ(s.measure_count, 12);
    EXPECT_EQ(s.b_coupling, 2);
    EXPECT_EQ(s.run_mode, RunMode::Demo);
    EXPECT_EQ(s.time_base, 23);
    EXPECT_DOUBLE_EQ(s.time_per_div_ms, 0.002);
    EXPECT_EQ(s.b_volt_div, 9);
    EXPECT_DOUBLE_EQ(s.b_volts_per_div, 0.5);
    EXPECT_EQ(s.b_position, -126);
    EXPECT_EQ(s.trigger_edge, 4);
    EXPECT_EQ(s.trigger_code, 5);
    EXPECT_EQ(s.trigger_level, -40);
    EXPECT_DOUBLE_EQ(s.trigger_x_percent, 49.0);
    EXPECT_EQ(s.view_offset, 1536);
    EXPECT_EQ(to_bytes(s), image);
}

TEST(UserPrefsImage, FieldsLandAtTheirOffsets) {
    std::array<uint8_t, 344> image{};
    put<int32_t>(image.data(), 0x00C, 0x00FFFF);
    image[0x005] = 1;
    put<int16_t>(image.data(), 0x028, 2);
    put<int32_t>(image.data(), 0x02C + 4 * 11, 0x123456);
    put<int16_t>(image.data(), 0x05C + 2 * 3, 9);
    put<int16_t>(image.data(), 0x074, 7);
    put<int16_t>(image.data(), 0x0BE, 1);
    put<int32_t>(image.data(), 0x0E4 + 8, 321);
    image[0x0FA] = 1;
    put<int32_t>(image.data(), 0x108, 1);
    put<double>(image.data(), 0x110 + 8 * 3, 0.75);
    put<double>(image.data(), 0x130 + 8 * 2, 0.125);
    put<int32_t>(image.data(), 0x150, 0xABCDEF);
    image[0x154] = 0x5A; // reserved bytes survive a round trip

    const auto p = from_bytes<UserPrefs>(image);
    EXPECT_EQ(p.a_colour, 0x00FFFF);
    EXPECT_EQ(p.show_a_minus_b, 1);
    EXPECT_EQ(p.probe_b, 2);
    EXPECT_EQ(p.measure_colour[11], 0x123456);
    EXPECT_EQ(p.measure_item[3], 9);
    EXPECT_EQ(p.measure_count, 7);
    EXPECT_EQ(p.fftview_scheme, 1);
    EXPECT_EQ(p.fftview_cursor_pixels[2], 321);
    EXPECT_EQ(p.toolbar_visible, 1);
    EXPECT_EQ(p.meter_rb_unit, 1);
    EXPECT_DOUBLE_EQ(p.cursor_fractions[3], 0.75);
    EXPECT_DOUBLE_EQ(p.fftview_cursor_fractions[2], 0.125);
    EXPECT_EQ(p.logic_cursor_info_colour, 0xABCDEF);
    EXPECT_EQ(to_bytes(p), image);
}

TEST(LogicSettingsImage, FieldsLandAtTheirOffsets) {
    std::array<uint8_t, 48> image{};
    put<int16_t>(image.data(), 0, 14);
    put<double>(image.data(), 8, 0.25);
    put<int16_t>(image.data(), 16, 1);
    image[18] = 2;
    put<int16_t>(image.data(), 22, 2);
    put<int16_t>(image.data(), 24, 0x40);
    put<int16_t>(image.data(), 26, 0x41);
    put<double>(image.data(), 32, -3.5);
    put<int32_t>(image.data(), 40, 800);

    const auto s = from_bytes<LogicSettings>(image);
    EXPECT_EQ(s.rate_index, 14);
    EXPECT_DOUBLE_EQ(s.zoom, 0.25);
    EXPECT_EQ(s.external_clock, 1);
    EXPECT_EQ(s.clock_edge, 2);
    EXPECT_EQ(s.trigger_mode, 2);
    EXPECT_EQ(s.trigger_value, 0x40);
    EXPECT_EQ(s.trigger_mask, 0x41);
    EXPECT_DOUBLE_EQ(s.trigger_fine_offset, -3.5);
    EXPECT_EQ(s.sample_count, 800);
    EXPECT_EQ(to_bytes(s), image);
}

TEST(ByteImage, ShortImageLeavesTheRestOfTheRecord) {
    UserPrefs p;
    p.logic_info_colour = 77;
    const std::array<uint8_t, 4> start{1, 2, 3, 0};
    EXPECT_EQ(from_bytes(p, start), 4u);
    EXPECT_EQ(p.cursor_colour, 0x030201);
    EXPECT_EQ(p.logic_info_colour, 77);
}

TEST(OffsetTable, PairOfPositionAndChannelByteOffsets) {
    OffsetTable t;
    t.set(Channel::A, 3, 127, 111);
    t.set(Channel::B, 3, 127, 222);
    t.set(Channel::A, 9, -128, 333);
    t.set(Channel::B, 0, 10, 444);
    const auto image = to_bytes(t);
    auto at = [&](std::size_t offset) {
        int16_t v;
        std::memcpy(&v, image.data() + offset, 2);
        return v;
    };
    EXPECT_EQ(at(1024 * 3 + 0), 111);             // position 127 is the first pair
    EXPECT_EQ(at(1024 * 3 + 2), 222);
    EXPECT_EQ(at(1024 * 9 + 4 * 255), 333);       // position -128 the last
    EXPECT_EQ(at(1024 * 0 + 4 * (127 - 10) + 2), 444);
}

TEST(OffsetTable, LookupIsBounded) {
    OffsetTable t;
    t.set(Channel::A, 2, 127, 5);
    t.set(Channel::A, 2, -128, 6);
    t.set(Channel::B, 7, 0, 7);
    EXPECT_EQ(t.offset_for(Channel::A, 2, 500), 5);
    EXPECT_EQ(t.offset_for(Channel::A, 2, -500), 6);
    EXPECT_EQ(t.offset_for(Channel::B, 12, 0), 7); // indices above 9 act as 1 V/div (block 7)
}

TEST(OffsetTable, NominalTableRisesWithTheLevelInEveryRange) {
    const OffsetTable t = calibration::nominal_offset_table();
    for (int v = 0; v < kOffsetBlocks; ++v) {
        for (int m = 0; m + 1 < kOffsetPairs; ++m) {
            ASSERT_LT(t.entries[v][m][0], t.entries[v][m + 1][0]) << "range " << v << " level " << m;
            ASSERT_EQ(t.entries[v][m][0], t.entries[v][m][1]);
        }
        EXPECT_GE(t.entries[v][0][0], 0);
        EXPECT_LE(t.entries[v][255][0], 4095);
    }
}

} // namespace
} // namespace orv
