// SPDX-License-Identifier: MIT
#include "core/files/dat_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace orv::files;

namespace {

using LoadBuffer = std::array<uint16_t, kDatLoadBufferEntries>;

std::vector<uint8_t> image_of_size(std::size_t bytes, const DatSettings& s) {
    // N = bytes/2 - 5 samples, then the trailer; an odd size gets one stray byte at the end.
    std::size_t n = bytes / 2 - 5;
    std::vector<uint16_t> samples(n);
    for (std::size_t i = 0; i < n; ++i) samples[i] = static_cast<uint16_t>(i % 256);
    auto image = encode_dat(samples, s);
    if (bytes % 2) image.push_back(0xAA);
    return image;
}

} // namespace

TEST(DatFile, RoundTripThroughFileKeepsSamplesAndTrailer) {
    const DatSettings s{7, 3, 9, -127, 126};
    std::vector<uint16_t> samples{0, 255, 127, 256, 10, 20};
    for (int i = 0; i < 30; ++i) samples.push_back(static_cast<uint16_t>(100 + i));
    const auto path = (std::filesystem::temp_directory_path() / "orv_datfile_test.dat").string();
    ASSERT_EQ(write_dat_file(path, samples, s), DatStatus::Ok);
    EXPECT_EQ(std::filesystem::file_size(path), samples.size() * 2 + 10);

    auto buffer = std::make_unique<LoadBuffer>();
    DatLoad r = read_dat_file(path, *buffer);
    ASSERT_EQ(r.status, DatStatus::Ok);
    EXPECT_EQ(r.entries, samples.size());
    EXPECT_EQ(r.settings, s);
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), buffer->begin()));
    std::filesystem::remove(path);
}

TEST(DatFile, TrailerPositionsAreBiasedBy127) {
    auto image = encode_dat(std::vector<uint16_t>(20, 127), DatSettings{7, 6, 6, -127, 0});
    // Position -127 is stored as 0, position 0 as 127.
    EXPECT_EQ(image[40 + 6], 0);
    EXPECT_EQ(image[40 + 8], 127);
}

TEST(DatFile, SizeLimits) {
    struct Case {
        std::size_t bytes;
        DatStatus status;
        uint32_t entries;
    } cases[] = {
        {49, DatStatus::Rejected, 0},      // below the 50-byte minimum
        {50, DatStatus::Ok, 20},           // the smallest file
        {51, DatStatus::Ok, 20},           // the odd byte is ignored
        {64010, DatStatus::Ok, 32000},     // the largest file
        {64011, DatStatus::Ok, 32000},     // still 32 000 entries, odd byte ignored
        {64012, DatStatus::Rejected, 0},   // 32 001 entries
    };
    for (const auto& c : cases) {
        auto buffer = std::make_unique<LoadBuffer>();
        buffer->fill(999);
        DatLoad r = decode_dat(image_of_size(c.bytes, DatSettings{7, 6, 6, 0, 0}), *buffer);
        EXPECT_EQ(r.status, c.status) << c.bytes;
        EXPECT_EQ(r.entries, c.entries) << c.bytes;
        if (c.status == DatStatus::Rejected) {
            EXPECT_EQ((*buffer)[0], 999) << "a rejected file changes nothing";
        }
    }
}

TEST(DatFile, MalformedContentIsRepairedOrRejected) {
    auto buffer = std::make_unique<LoadBuffer>();
    // A time base beyond the 24-row tables is rejected like a malformed file.
    EXPECT_EQ(decode_dat(image_of_size(60, DatSettings{24, 6, 6, 0, 0}), *buffer).status, DatStatus::Rejected);
    EXPECT_EQ(decode_dat(image_of_size(60, DatSettings{23, 6, 6, 0, 0}), *buffer).status, DatStatus::Ok);

    // Only the low byte of the index words counts; samples outside 0..256 are clamped.
    std::vector<uint16_t> samples(20, 100);
    samples[0] = 0xFFFF; // -1 as a signed word
    samples[1] = 300;
    samples[2] = 0x8000;
    auto image = encode_dat(samples, DatSettings{7, 6, 6, 0, 0});
    image[40 + 3] = 0x12; // high byte of the time-base word
    DatLoad r = decode_dat(image, *buffer);
    ASSERT_EQ(r.status, DatStatus::Ok);
    EXPECT_EQ(r.settings.time_base, 7);
    EXPECT_EQ((*buffer)[0], 0);
    EXPECT_EQ((*buffer)[1], 256);
    EXPECT_EQ((*buffer)[2], 0);
    EXPECT_EQ((*buffer)[3], 100);
}

TEST(DatFile, MissingFileAndUnwritablePathReportErrors) {
    auto buffer = std::make_unique<LoadBuffer>();
    EXPECT_EQ(read_dat_file("/nonexistent/dir/x.dat", *buffer).status, DatStatus::OpenFailed);
    std::vector<uint16_t> samples(20, 1);
    EXPECT_EQ(write_dat_file("/nonexistent/dir/x.dat", samples, {}), DatStatus::WriteFailed);
}
