// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

#include "core/calibration/nominal_offset_dac.h"
#include "core/scope/byte_image.h"
#include "core/scope/front_end.h"
#include "core/scope/setup_files.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// A program folder in a fresh temporary directory, filled with a complete set of setup files.
class SetupFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("orv_setup_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "setup");
        ctx_.program_folder = ProgramFolder(root_);

        UserPrefs prefs = factory_user_prefs();
        prefs.probe_a = 2;
        write(kUserPrefsFile, prefs);
        write(kDefaultPrefsFile, factory_user_prefs());
        write(kUserAdjustFile, 1.0);
        write(kCalConstantFile, 1.0);
        const OffsetTable table = calibration::nominal_offset_table();
        write(kUserCalFile, table);
        write(kFactoryCalFile, table);
        write(kLogicPrefsFile, default_logic_settings());
        write_bytes(kLanguageFile, {0, 0, 1});
    }
    void TearDown() override { fs::remove_all(root_); }

    template <class T>
    void write(std::string_view name, const T& value) {
        std::ofstream(root_ / "setup" / name, std::ios::binary).write(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void write_bytes(std::string_view name, std::vector<char> bytes) {
        std::ofstream(root_ / "setup" / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path root_;
    ScopeContext ctx_;
};

TEST_F(SetupFolder, LoadsEveryFileAndDerivesTheScale) {
    write(kUserAdjustFile, 1.1);
    const auto r = load_setup_files(ctx_);
    ASSERT_TRUE(r.ok()) << r.file;
    EXPECT_EQ(ctx_.user_prefs.probe_a, 2);
    EXPECT_EQ(ctx_.default_prefs.probe_a, 0);
    EXPECT_DOUBLE_EQ(ctx_.user_gain_adjust, 1.1);
    EXPECT_NEAR(ctx_.counts_per_div, 22.727272727, 1e-8);
    EXPECT_EQ(ctx_.factory_offset_table.offset_for(Channel::A, 0, 0), ctx_.offset_table.offset_for(Channel::A, 0, 0));
    EXPECT_DOUBLE_EQ(ctx_.logic_settings.zoom, 1.0);
}

TEST_F(SetupFolder, MissingFileIsFatalWithTheOpenMessage) {
    for (auto name : {kUserPrefsFile, kLanguageFile, kFactoryCalFile, kLogicPrefsFile}) {
        SetUp();
        fs::remove(root_ / "setup" / name);
        ScopeContext ctx;
        ctx.program_folder = ctx_.program_folder;
        const auto r = load_setup_files(ctx);
        EXPECT_EQ(r.status, SetupStatus::CannotOpen) << name;
        EXPECT_EQ(r.message(), "Can't Open Setup File!");
        EXPECT_EQ(r.caption(), "Open Error");
        EXPECT_EQ(r.file.filename(), name);
    }
}

TEST_F(SetupFolder, UnreadableFileIsFatalWithTheOtherMessage) {
    fs::remove(root_ / "setup" / kUserCalFile);
    fs::create_directory(root_ / "setup" / kUserCalFile); // opens, but cannot be read
    const auto r = load_setup_files(ctx_);
    EXPECT_EQ(r.status, SetupStatus::OtherError);
    EXPECT_EQ(r.message(), "Can't Open Setup Files.");
    EXPECT_EQ(r.caption(), "Open Error");
}

TEST_F(SetupFolder, ShortUserPrefsLeaveTheRestAsItWas) {
    write_bytes(kUserPrefsFile, {0x11, 0x22, 0x33, 0x00, 1});
    ASSERT_TRUE(load_setup_files(ctx_).ok());
    EXPECT_EQ(ctx_.user_prefs.cursor_colour, 0x332211);
    EXPECT_EQ(ctx_.user_prefs.show_a_plus_b, 1);
    EXPECT_EQ(ctx_.user_prefs.a_colour, 0);
    EXPECT_EQ(ctx_.user_prefs.probe_a, 0);
    // The repaired meter values are the only ones that are not zero.
    EXPECT_EQ(ctx_.user_prefs.meter_ra, 1);
    EXPECT_EQ(ctx_.user_prefs.meter_ra_unit, 1);
}

TEST_F(SetupFolder, EarlyLanguageReadTakesTheOptionByte) {
    write_bytes(kLanguageFile, {1, 0, 1});
    ASSERT_TRUE(read_language_file(ctx_).ok());
    EXPECT_EQ(ctx_.language, 1);
    EXPECT_EQ(ctx_.language_option, 1);
    EXPECT_EQ(ctx_.button_3d_style, 1);

    write_bytes(kLanguageFile, {-1, -1, 0}); // -1: nothing was selected when saving
    ASSERT_TRUE(read_language_file(ctx_).ok());
    EXPECT_EQ(ctx_.language, 0);
    EXPECT_EQ(ctx_.language_option, 0);
}

TEST(SetupRepairs, OutOfRangeValuesAreReplaced) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double gain, cal;
        double expected_gain, expected_cal;
    };
    const Case cases[] = {
        {1.25, 1.0, 1.0, 1.0}, {0.8, 1.0, 0.8, 1.0},  {1.2, 1.0, 1.2, 1.0},  {1.2000001, 1.0, 1.0, 1.0},
        {0.79, 1.0, 1.0, 1.0}, {nan, 1.0, 1.0, 1.0},  {1.0, 0.0, 1.0, 1.0},  {1.0, nan, 1.0, 1.0},
        {1.0, -2.0, 1.0, 1.0}, {1.0, inf, 1.0, 1.0},  {1.0, 1.05, 1.0, 1.05},
    };
    for (const auto& c : cases) {
        ScopeContext ctx;
        ctx.user_gain_adjust = c.gain;
        ctx.cal_constant = c.cal;
        repair_setup_values(ctx);
        EXPECT_DOUBLE_EQ(ctx.user_gain_adjust, c.expected_gain) << c.gain;
        EXPECT_DOUBLE_EQ(ctx.cal_constant, c.expected_cal) << c.cal;
    }

    ScopeContext ctx;
    ctx.language = 2;
    UserPrefs& p = ctx.user_prefs;
    p.meter_ra = 10000;
    p.meter_ra_unit = 0;
    p.meter_rb = 500;
    p.meter_rb_unit = 2;
    p.cursor_fractions[0] = nan;
    p.cursor_fractions[1] = 1.5;
    p.cursor_fractions[2] = -0.5;
    p.cursor_fractions[3] = 0.3;
    p.fftview_cursor_fractions[0] = -0.2;
    p.fftview_cursor_fractions[1] = inf;
    p.fftview_cursor_fractions[2] = -0.4;
    p.measure_count = 13;
    repair_setup_values(ctx);
    EXPECT_EQ(ctx.language, 0);
    EXPECT_EQ(p.meter_ra, 1);
    EXPECT_EQ(p.meter_ra_unit, 1);
    EXPECT_EQ(p.meter_rb, 1);
    EXPECT_EQ(p.meter_rb_unit, 1);
    EXPECT_DOUBLE_EQ(p.cursor_fractions[0], 0.0);
    EXPECT_DOUBLE_EQ(p.cursor_fractions[1], 1.0);
    EXPECT_DOUBLE_EQ(p.cursor_fractions[2], 0.0);
    EXPECT_DOUBLE_EQ(p.cursor_fractions[3], 0.3);
    EXPECT_DOUBLE_EQ(p.fftview_cursor_fractions[0], 0.0);
    EXPECT_DOUBLE_EQ(p.fftview_cursor_fractions[1], 0.0) << "levels stay between -1 (top) and 0";
    EXPECT_DOUBLE_EQ(p.fftview_cursor_fractions[2], -0.4);
    EXPECT_EQ(p.measure_count, 12);

    UserPrefs kept = factory_user_prefs();
    kept.meter_ra = 9999;
    kept.meter_ra_unit = 0;
    ctx.user_prefs = kept;
    repair_setup_values(ctx);
    EXPECT_EQ(ctx.user_prefs.meter_ra, 9999);
    EXPECT_EQ(ctx.user_prefs.meter_ra_unit, 0);
}

TEST_F(SetupFolder, SaveThenLoadRoundTrips) {
    ASSERT_TRUE(load_setup_files(ctx_).ok());
    ctx_.user_prefs.main_width = 1280;
    ctx_.user_prefs.reserved_154[3] = 0x77;
    ctx_.logic_settings.sample_count = 800;
    ASSERT_TRUE(save_user_prefs(ctx_));
    EXPECT_EQ(fs::file_size(root_ / "setup" / kUserPrefsFile), 344u);
    EXPECT_EQ(fs::file_size(root_ / "setup" / kLogicPrefsFile), 48u);

    ScopeContext again;
    again.program_folder = ctx_.program_folder;
    ASSERT_TRUE(load_setup_files(again).ok());
    EXPECT_EQ(to_bytes(again.user_prefs), to_bytes(ctx_.user_prefs));
    EXPECT_EQ(again.logic_settings.sample_count, 800);
    for (const auto& e : fs::directory_iterator(root_ / "setup")) EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

TEST_F(SetupFolder, FailedSaveKeepsTheOldFileWhole) {
    // A folder named like the temporary file makes the write fail before anything is replaced.
    fs::create_directory(root_ / "setup" / "usp.vit.tmp");
    ASSERT_TRUE(load_setup_files(ctx_).ok());
    ctx_.user_prefs.main_width = 1;
    EXPECT_FALSE(save_user_prefs(ctx_));
    ScopeContext again;
    again.program_folder = ctx_.program_folder;
    ASSERT_TRUE(load_setup_files(again).ok());
    EXPECT_EQ(again.user_prefs.probe_a, 2);
    EXPECT_NE(again.user_prefs.main_width, 1);
}

TEST_F(SetupFolder, UserFoldersAreCreatedOnDemand) {
    EXPECT_FALSE(fs::exists(root_ / "user_recorder"));
    const auto dir = ctx_.program_folder.ensure_user_folder(UserFolder::Recorder);
    ASSERT_TRUE(dir);
    EXPECT_TRUE(fs::is_directory(root_ / "user_recorder"));
    EXPECT_EQ(ctx_.program_folder.user_folder(UserFolder::LogicData), root_ / "logic_data");
}

// The files the build ships into the program folder.
TEST(ShippedSetupFiles, HaveTheirSizesAndSaneContents) {
    const char* dir = std::getenv("ORV_PROGRAM_DIR");
    if (!dir) GTEST_SKIP() << "ORV_PROGRAM_DIR not set";
    const ProgramFolder folder{fs::path(dir)};
    const std::pair<std::string_view, std::uintmax_t> sizes[] = {
        {kLanguageFile, 3},   {kUserAdjustFile, 8},     {kCalConstantFile, 8},  {kFactoryConstantFile, 8},
        {kUserPrefsFile, 344}, {kDefaultPrefsFile, 344}, {kUserCalFile, 10240},  {kFactoryCalFile, 10240},
        {kLogicPrefsFile, 48},
    };
    for (const auto& [name, size] : sizes) {
        std::error_code ec;
        EXPECT_EQ(fs::file_size(folder.setup_file(name), ec), size) << name;
    }

    ScopeContext ctx;
    ctx.program_folder = folder;
    ASSERT_TRUE(read_language_file(ctx).ok());
    ASSERT_TRUE(load_setup_files(ctx).ok());
    const UserPrefs& d = ctx.default_prefs;
    EXPECT_EQ(d.measure_count, 12);
    for (int i = 0; i < kMeasureReadouts; ++i) EXPECT_EQ(d.measure_item[i], i);
    EXPECT_EQ(d.measure_colour[0], kColourGreen);
    EXPECT_NE(d.a_colour, d.b_colour);
    EXPECT_NE(d.a_colour, d.background_colour);
    EXPECT_EQ(d.grid_on, 1);
    EXPECT_EQ(d.cursor_on, 1);
    EXPECT_EQ(d.toolbar_visible, 1);
    EXPECT_EQ(d.meter_ra, 1);
    EXPECT_EQ(d.meter_ra_unit, 1);
    for (double f : d.cursor_fractions) EXPECT_TRUE(f > 0.0 && f < 1.0);

    double factory_constant = 0;
    EXPECT_EQ(read_record(folder.setup_file(kFactoryConstantFile), factory_constant).status, SetupStatus::Ok);
    EXPECT_DOUBLE_EQ(factory_constant, 1.0);
    EXPECT_EQ(to_bytes(ctx.factory_offset_table), to_bytes(calibration::nominal_offset_table()));
    EXPECT_EQ(ctx.factory_offset_table.offset_for(Channel::B, 6, 0), calibration::nominal_dac_code(gain_stage(6), 127));
}

} // namespace
} // namespace orv
