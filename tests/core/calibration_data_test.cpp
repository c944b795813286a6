// SPDX-License-Identifier: MIT
#include "core/calibration/calibration_data.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <cstring>
#include <fstream>

#include "core/scope/setup_files.h"

using namespace orv;

namespace {

struct TempHome {
    TempHome() {
        root = std::filesystem::temp_directory_path() / ("orv_caldata_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "setup");
        ctx.program_folder = ProgramFolder(root);
    }
    ~TempHome() { std::filesystem::remove_all(root); }
    std::filesystem::path root;
    ScopeContext ctx;
};

} // namespace

TEST(CalibrationData, RawToVoltsWithTheUserGain) {
    ScopeContext ctx;
    ctx.user_gain_adjust = 1.1;
    ctx.cal_constant = 1.0;
    recompute_scale(ctx);
    EXPECT_NEAR(ctx.counts_per_div, 22.7273, 1e-4);
    EXPECT_NEAR(calibration::raw_to_volts(102, 0, 1.0, ctx.counts_per_div), 1.1, 1e-9);
    EXPECT_DOUBLE_EQ(calibration::raw_to_volts(127, 0, 5.0, 25.0), 0.0);
    EXPECT_DOUBLE_EQ(calibration::raw_to_volts(127, -25, 0.5, 25.0), 0.5);
}

TEST(CalibrationData, StoreWritesTableConstantAndInstrumentFile) {
    TempHome h;
    h.ctx.cal_constant = 1.3;
    static int16_t blocks[kOffsetBlocks][calibration::kBlockEntries];
    for (int v = 0; v < kOffsetBlocks; ++v)
        for (int e = 0; e < calibration::kBlockEntries; ++e) blocks[v][e] = static_cast<int16_t>(v * 1000 + e);
    ASSERT_TRUE(calibration::store_calibration(h.ctx, blocks, "cal_67510 31415"));
    EXPECT_EQ(h.ctx.cal_constant, 1.0);
    EXPECT_EQ(h.ctx.offset_table.offset_for(Channel::B, 3, 127), 3001) << "position 127 is the first pair";
    EXPECT_EQ(h.ctx.offset_table.offset_for(Channel::A, 3, -128), 3510) << "position -128 the last";

    ScopeContext loaded;
    loaded.program_folder = h.ctx.program_folder;
    ASSERT_TRUE(calibration::load_instrument_calibration(loaded, "cal_67510 31415"));
    EXPECT_EQ(std::memcmp(&loaded.offset_table, &h.ctx.offset_table, sizeof(OffsetTable)), 0);
    EXPECT_EQ(std::filesystem::file_size(h.root / "setup" / "ucal.vit"), 10240u);
    EXPECT_EQ(std::filesystem::file_size(h.root / "setup" / "cali_const.vit"), 8u);
    EXPECT_FALSE(calibration::load_instrument_calibration(loaded, "cal_other"));
}

TEST(CalibrationData, ShortInstrumentFileLeavesTheRest) {
    TempHome h;
    h.ctx.offset_table.set(Channel::A, 9, -128, 77);
    {
        std::ofstream f(h.root / "setup" / "cal_x.vit", std::ios::binary);
        const int16_t first = 5;
        f.write(reinterpret_cast<const char*>(&first), 2);
    }
    ASSERT_TRUE(calibration::load_instrument_calibration(h.ctx, "cal_x"));
    EXPECT_EQ(h.ctx.offset_table.offset_for(Channel::A, 0, 127), 5);
    EXPECT_EQ(h.ctx.offset_table.offset_for(Channel::A, 9, -128), 77);
}

TEST(CalibrationData, FactoryRecovery) {
    TempHome h;
    h.ctx.factory_offset_table.set(Channel::A, 6, 0, 1234);
    EXPECT_FALSE(calibration::factory_recovery(h.ctx)) << "no def_const.vit";

    for (double stored : {1.05, 0.0}) {
        ASSERT_TRUE(write_record(h.ctx.program_folder.setup_file(kFactoryConstantFile), stored));
        ASSERT_TRUE(calibration::factory_recovery(h.ctx));
        const double expected = stored == 0.0 ? 1.0 : stored; // zero would divide by zero
        EXPECT_EQ(h.ctx.cal_constant, expected);
        EXPECT_DOUBLE_EQ(h.ctx.counts_per_div, 25.0 / expected);
        EXPECT_EQ(h.ctx.offset_table.offset_for(Channel::A, 6, 0), 1234);
        double written = 0;
        ASSERT_EQ(read_record(h.ctx.program_folder.setup_file(kCalConstantFile), written).status, SetupStatus::Ok);
        EXPECT_EQ(written, expected);
    }
}
