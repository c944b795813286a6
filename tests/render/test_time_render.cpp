// SPDX-License-Identifier: MIT
#include "render/colour.h"
#include "render/time_render.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace orv::render;

namespace {

// QImage painting needs a GUI application; the offscreen platform needs no display.
struct GuiEnv : ::testing::Environment {
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test_render";
        static char* argv[] = {name, nullptr};
        app = new QGuiApplication(argc, argv);
    }
    QGuiApplication* app = nullptr;
};
const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new GuiEnv);

constexpr uint32_t kBg = 0x000000, kGrid = 0x808080, kA = 0x00FFFF, kB = 0x00FF00, kMath = 0xFF00FF,
                   kTrig = 0x0000FF;

// 201 x 101: W_p = 200, c = 50, 20 pixels a division.
struct Fixture {
    std::vector<uint16_t> samples;
    TimeJob job;
    QImage image{201, 101, QImage::Format_RGB32};
    TimeRenderState state;

    // A at the centre row, B one division below it.
    explicit Fixture(int pairs = 50) : samples(static_cast<std::size_t>(2 * pairs), 127) {
        for (std::size_t i = 1; i < samples.size(); i += 2) samples[i] = 127 + 25;
        job.samples = samples;
        job.record_length = 2 * pairs;
        job.fill_position = 2 * pairs;
        job.span_current = job.span_frame = pairs; // the record spans the plot
        job.view_centre = pairs / 2;
        job.timebar_position = 0;
        job.current.view_offset = job.frame.view_offset = 0;
        job.prefs.background_colour = kBg;
        job.prefs.grid_colour = kGrid;
        job.prefs.grid_draw_mode = 0;
        job.prefs.cursor_on = false;
        job.prefs.ab_colour = kMath;
        job.prefs.trigger_cursor_colour = kTrig;
        job.a_colour = kA;
        job.b_colour = kB;
        job.show_markers = false;
    }
    TimeResult render() { return render_time(job, image, state); }
    bool is(int x, int y, uint32_t colour) const { return image.pixelColor(x, y) == to_qcolor(colour); }
    int count_in_column(int x, uint32_t colour) const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) n += is(x, y, colour);
        return n;
    }
    int rightmost(uint32_t colour) const {
        for (int x = image.width() - 1; x >= 0; --x)
            if (count_in_column(x, colour)) return x;
        return -1;
    }
};

} // namespace

TEST(TimeRender, GraticuleLinesAndTicks) {
    Fixture f;
    f.job.show_a = f.job.show_b = false;
    f.render();
    // Horizontal lines every 10 rows (c * 0.2), vertical every 20 columns, over the full plot.
    for (int y : {0, 10, 50, 90, 100}) EXPECT_TRUE(f.is(7, y, kGrid)) << y;
    for (int x : {0, 20, 100, 180, 200}) EXPECT_TRUE(f.is(x, 33, kGrid)) << x;
    EXPECT_TRUE(f.is(7, 45, kBg));
    // Ticks on the centre lines: every 2 rows on the vertical one, every 4 columns on the other.
    EXPECT_TRUE(f.is(99, 48, kGrid));
    EXPECT_TRUE(f.is(101, 48, kGrid));
    EXPECT_TRUE(f.is(8, 49, kGrid));
    EXPECT_TRUE(f.is(9, 49, kBg));

    f.job.prefs.grid_on = false;
    f.render();
    EXPECT_TRUE(f.is(20, 33, kBg));
}

TEST(TimeRender, LiveCodesAndGroundCoupling) {
    Fixture f;
    f.job.prefs.grid_on = false;
    for (std::size_t i = 0; i < f.samples.size(); i += 2) {
        f.samples[i] = 127 - 25; // one division above the centre
        f.samples[i + 1] = 200;
    }
    f.job.current.b_coupling = 1; // GND: flat at the position whatever the samples
    f.job.current.b_position = -25;
    f.render();
    EXPECT_TRUE(f.is(50, 40, kA));
    EXPECT_TRUE(f.is(50, 60, kB));
    EXPECT_EQ(f.count_in_column(50, kA), 1);
    EXPECT_EQ(f.count_in_column(50, kB), 1);
}

TEST(TimeRender, EndOfDataStopsEachTrace) {
    Fixture f;
    f.job.prefs.grid_on = false;
    // Pair 25 of 50 is the end: A stops at column 100, B with it.
    f.samples[50] = 256;
    f.render();
    EXPECT_LE(f.rightmost(kA), 100);
    EXPECT_GE(f.rightmost(kA), 90);
    EXPECT_GE(f.rightmost(kB), 90);
    EXPECT_EQ(f.count_in_column(150, kA), 0);
}

TEST(TimeRender, ViewStartingBeforeTheRecordLeavesItsLeftPartEmpty) {
    Fixture f;
    f.job.prefs.grid_on = false;
    f.job.view_centre = 0; // centre of the plot at the first sample: s = -50
    f.render();
    EXPECT_GE(f.rightmost(kA), 199); // the end point of a line is not drawn
    for (int x = 0; x < 100; ++x) ASSERT_EQ(f.count_in_column(x, kA), 0) << x;
    EXPECT_TRUE(f.is(100, 50, kA));
}

TEST(TimeRender, MathTraceWithBothChannelBoxesOff) {
    Fixture f;
    f.job.prefs.grid_on = false;
    for (std::size_t i = 0; i < f.samples.size(); i += 2) {
        f.samples[i] = 127 - 25;     // row 40
        f.samples[i + 1] = 127 + 25; // row 60
    }
    f.job.show_a = f.job.show_b = false;
    f.job.prefs.show_a_minus_b = true;
    f.render();
    // A-B = 50 + 40 - 60 = row 30; nothing of the channels themselves.
    EXPECT_TRUE(f.is(60, 30, kMath));
    EXPECT_EQ(f.count_in_column(60, kA) + f.count_in_column(60, kB), 0);
    f.job.prefs.show_a_minus_b = false;
    f.job.prefs.show_a_plus_b = true;
    f.render();
    EXPECT_TRUE(f.is(60, 50, kMath)); // 40 + 60 - 50
}

TEST(TimeRender, TriggerMarkersOffTheViewPointOutwards) {
    Fixture f;
    f.job.show_markers = true;
    f.job.prefs.grid_on = false;
    f.job.current.trigger_level = 25;
    const TimeResult in = f.render();
    EXPECT_EQ(in.trigger_row, 40);
    EXPECT_DOUBLE_EQ(in.trigger_column, 100.0);
    EXPECT_EQ(in.trigger_column_px, 100);

    f.job.current.view_offset = 100; // trigger 100 samples left of the view start
    const TimeResult left = f.render();
    EXPECT_LT(left.trigger_column, 0.0);
    EXPECT_EQ(left.trigger_column_px, 0);
    f.job.current.view_offset = -100;
    const TimeResult right = f.render();
    EXPECT_GT(right.trigger_column, 200.0);
    EXPECT_EQ(right.trigger_column_px, 200);
    // The arrow head at the top right corner.
    int head = 0;
    for (int x = 196; x <= 200; ++x)
        for (int y = 1; y <= 5; ++y) head += f.is(x, y, kTrig);
    EXPECT_GE(head, 4);
}

TEST(TimeRender, CursorTexts) {
    struct Case {
        double dx;
        const char* time;
        const char* freq;
    } cases[] = {
        {0.0, "|X1-X2|: 0.000nS", ""},
        {1.0, "|X1-X2|: 1000.000uS", "1000.000Hz"},
        {2.0, "|X1-X2|: 2.000mS", "500.000Hz"},
        {2000.0, "|X1-X2|: 2.000S", "0.500Hz"},
    };
    for (const Case& c : cases) {
        const CursorTexts t = cursor_texts(c.dx, 1.0, 1.0, 5.0, 0.2);
        EXPECT_STREQ(t.time_text.c_str(), c.time) << c.dx;
        EXPECT_STREQ(t.freq_text.c_str(), c.freq) << c.dx;
    }
    const CursorTexts v = cursor_texts(1, 1.0, 1.0, 5.0, 0.2);
    EXPECT_STREQ(v.a_text.c_str(), "|Y1-Y2|: 5.000V");
    EXPECT_STREQ(v.b_text.c_str(), "200.0mV");

    // From the cursors of a render: one division is 20 columns.
    Fixture f;
    f.job.prefs.cursor_on = true;
    f.job.x1 = 20;
    f.job.x2 = 40;
    const TimeResult r = f.render();
    EXPECT_STREQ(r.time_text.c_str(), "|X1-X2|: 1000.000uS");
    EXPECT_STREQ(r.freq_text.c_str(), "1000.000Hz");
}

TEST(TimeRender, DegenerateInputsDrawNothingOrSkip) {
    Fixture f;
    QImage tiny(1, 50, QImage::Format_RGB32);
    EXPECT_FALSE(render_time(f.job, tiny, f.state).rendered);
    // Interpolated path with fewer samples than the span: no sub-steps, no division by zero.
    f.job.current.time_base = f.job.frame.time_base = 17;
    f.job.current.run_mode = 0;
    f.job.span_current = f.job.span_frame = 1000;
    EXPECT_TRUE(f.render().rendered);
    // A record as long as a data file fits the ordinate table.
    Fixture big(16000);
    big.job.current.run_mode = 0;
    EXPECT_TRUE(big.render().rendered);
}

TEST(TimeRender, InterpolatedPathFollowsTheSamples) {
    Fixture f(200);
    f.job.prefs.grid_on = false;
    f.job.current.time_base = f.job.frame.time_base = 17;
    f.job.current.run_mode = 0; // Hold: the interpolated path
    f.job.span_current = f.job.span_frame = 50; // 4 sub-steps per interval
    f.job.view_centre = 25;
    for (std::size_t i = 0; i < f.samples.size(); i += 2) f.samples[i] = 127 - 25;
    f.render();
    EXPECT_TRUE(f.is(100, 40, kA));
    EXPECT_GE(f.rightmost(kA), 199);
}
