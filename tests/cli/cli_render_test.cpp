// SPDX-License-Identifier: MIT
// "render": runs the built orv5800-cli on a small data file and looks at the picture it writes.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "core/files/dat_file.h"
#include "core/scope/scope_context.h"
#include "core/scope/setup_files.h"

namespace {

namespace fs = std::filesystem;

QRgb rgb(int32_t colour) {
    const auto c = static_cast<uint32_t>(colour);
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

class CliRender : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("ORV_PROGRAM_DIR");
        if (!dir) GTEST_SKIP() << "ORV_PROGRAM_DIR not set";
        exe_ = fs::path(dir) / "orv5800-cli";
        if (!fs::exists(exe_)) GTEST_SKIP() << "orv5800-cli not built";
        tmp_ = fs::temp_directory_path() /
               ("orv_cli_render_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(tmp_);
        fs::create_directories(tmp_ / "home");
        fs::copy(fs::path(dir) / "setup", tmp_ / "home" / "setup", fs::copy_options::recursive);

        // Distinct colours on black, the cursors on with X1 at column 40, no grid to mistake for
        // a trace.
        ctx_.program_folder = orv::ProgramFolder(tmp_ / "home");
        ASSERT_TRUE(orv::read_language_file(ctx_).ok());
        ASSERT_TRUE(orv::load_setup_files(ctx_).ok());
        orv::UserPrefs& p = ctx_.user_prefs;
        p.background_colour = 0x000000;
        p.grid_on = 0;
        p.a_colour = 0x00FFFF;
        p.b_colour = 0xFF0000;
        p.cursor_on = 1;
        p.cursor_colour = 0x0000FF;
        p.cursor_draw_mode = 0;
        p.cursor_pixels[0] = 40;
        p.cursor_pixels[1] = 40;
        p.cursor_pixels[2] = 0;
        p.cursor_pixels[3] = 0;
        ASSERT_TRUE(orv::save_user_prefs(ctx_));

        // 3072 pairs at 1 ms/div: A a slow square wave, B flat one division below the centre.
        std::vector<uint16_t> samples(6144);
        for (std::size_t i = 0; i < 3072; ++i) {
            samples[2 * i] = (i / 200) % 2 ? 77 : 177;
            samples[2 * i + 1] = 152;
        }
        orv::files::DatSettings settings;
        settings.time_base = 7;
        settings.a_volt_div = 6;
        settings.b_volt_div = 6;
        ASSERT_EQ(orv::files::write_dat_file((tmp_ / "frame.dat").string(), samples, settings),
                  orv::files::DatStatus::Ok);
    }
    void TearDown() override {
        if (!tmp_.empty()) fs::remove_all(tmp_);
    }

    int run(const std::string& args) const {
        const std::string cmd = "'" + exe_.string() + "' --home '" + (tmp_ / "home").string() + "' render " + args +
                                " >/dev/null 2>'" + (tmp_ / "stderr").string() + "'";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string in() const { return "'" + (tmp_ / "frame.dat").string() + "'"; }
    std::string out() const { return "'" + (tmp_ / "out.png").string() + "'"; }
    QImage picture() const { return QImage(QString::fromStdString((tmp_ / "out.png").string())); }

    fs::path exe_, tmp_;
    orv::ScopeContext ctx_;
};

int count_in_row(const QImage& img, int y, QRgb colour) {
    int n = 0;
    for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

int count_in_column(const QImage& img, int x, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

TEST_F(CliRender, DrawsTheFrameWithTheFolderPreferences) {
    ASSERT_EQ(run(in() + " " + out() + " --size 201x101"), 0);
    const QImage img = picture();
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(201, 101));

    // c = 50, k = 0.4 px per count: B (code 152, 25 counts below) is the row 60 across the plot.
    EXPECT_GE(count_in_row(img, 60, rgb(0xFF0000)), 190);
    // A's two levels, 50 counts either side of the centre: rows 30 and 70.
    EXPECT_GT(count_in_row(img, 30, rgb(0x00FFFF)), 20);
    EXPECT_GT(count_in_row(img, 70, rgb(0x00FFFF)), 20);
    // X1 from usp.vit.
    EXPECT_GT(count_in_column(img, 40, rgb(0x0000FF)), 50);
}

TEST_F(CliRender, DefaultSizeAndModel) {
    ASSERT_EQ(run(in() + " " + out()), 0);
    EXPECT_EQ(picture().size(), QSize(1001, 501));
    ASSERT_EQ(run(in() + " " + out() + " --model 0 --size 300x200"), 0);
    EXPECT_EQ(picture().size(), QSize(300, 200));
}

TEST_F(CliRender, RejectsBadArgumentsAndFiles) {
    std::ofstream(tmp_ / "short.dat") << "too short";
    const struct {
        std::string args;
        int code;
    } cases[] = {
        {in(), 2},
        {in() + " " + out() + " --size 1x100", 2},
        {in() + " " + out() + " --size 100", 2},
        {in() + " " + out() + " --model 6", 2},
        {"'" + (tmp_ / "missing.dat").string() + "' " + out(), 1},
        {"'" + (tmp_ / "short.dat").string() + "' " + out(), 1},
        {in() + " '" + (tmp_ / "no" / "such" / "dir.png").string() + "'", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), c.code) << c.args;
        EXPECT_FALSE(fs::exists(tmp_ / "out.png")) << c.args;
    }
}

TEST_F(CliRender, MissingPreferencesFailWithTheSystemMessage) {
    fs::remove(tmp_ / "home" / "setup" / "usp.vit");
    EXPECT_EQ(run(in() + " " + out()), 1);
    EXPECT_FALSE(fs::exists(tmp_ / "out.png"));
}

} // namespace
