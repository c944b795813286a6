// SPDX-License-Identifier: MIT
// The application's start-up and closing: the window set, the fatal start, the files closing
// writes, and the caption once the simulated instrument has identified itself.
#include "ui_test_environment.h"

#include "core/scope/user_prefs.h"
#include "core/scope/byte_image.h"
#include "core/scope/setup_files.h"
#include "ui/application.h"
#include "ui/message_forms.h"
#include "ui/trace_view.h"
#include "ui/search_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using orv::test::TempProgramFolder;

// TGeneral_Setup_Panel, TCPlot_setup_panel and Tcolor_adjust are never shown and have no behaviour:
// they are left out.
constexpr const char* kWindowOrder[] = {
    "TMainForm", "TErrorForm", "Tsearchform", "TFFT_Form", "Tmeasureselectform",
    "TMainview_Setup_Panel", "TProbe_setup_panel", "TFFT_setup_panel", "Txy_setup_panel",
    "TCALIBRATION1", "Tplaybacksettingpanel", "Tsteroviewpanel", "Tcorrviewpanel", "Txyplotpanel",
    "Ton_calibration_form", "Tok_Calibrate_Form", "Tmid_calibratin_form", "TAbout_Form", "TAdjust_form",
    "THelp_lanuage_form", "TSet_trig_x_loc_form", "Trecord_txt_form", "Trecord_interval_setting_form",
    "Tgeneral_error_form", "TStandard_DAQ_set_Form", "TMulti_metre_form", "TLogic_setup_form", "TCali_info_form",
    "Tlogic_prefer_form",
};

orv::ui::AppOptions options_for(const TempProgramFolder& folder, bool simulate) {
    orv::ui::AppOptions o;
    o.home = folder.path();
    o.instance_number = 0;
    if (simulate) o.simulate_model = 1;
    return o;
}

std::vector<uint8_t> slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AppLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        if (!folder_.ok()) GTEST_SKIP() << "ORV_PROGRAM_DIR has no setup files";
        orv::test::captured_messages().clear();
    }
    TempProgramFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(AppLifecycle, StartsWithEveryWindowHiddenButTheMainOne) {
    orv::ui::Application app(options_for(folder_, false));
    ASSERT_FALSE(app.create().has_value());
    // Every window exists, in its order, and none is shown before the main window.
    std::vector<std::string> names;
    for (QWidget* w : app.windows()) {
        names.push_back(w->objectName().toStdString());
        EXPECT_FALSE(w->isVisible()) << names.back();
    }
    EXPECT_EQ(names, std::vector<std::string>(std::begin(kWindowOrder), std::end(kWindowOrder)));
    EXPECT_FALSE(app.main_form()->read_timer()->isActive());
    const auto* home = app.main_form()->findChild<QAction*>(QStringLiteral("WebPage1"));
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(home->text().toStdString(), "Talvor Home &Page");
    // The view shows the background picture of images/ until the first frame.
    const QImage background(QString::fromStdString((folder_.path() / "images" / "t.bmp").string()));
    ASSERT_FALSE(background.isNull());
    EXPECT_EQ(app.main_form()->trace_image()->image(), background.convertToFormat(QImage::Format_RGB32));

    app.show();
    EXPECT_TRUE(app.main_form()->read_timer()->isActive());
    EXPECT_EQ(app.main_form()->read_timer()->interval(), 40);
    // No instrument: the main window and the search dialog, nothing else.
    QTest::qWait(50);
    for (QWidget* w : app.windows())
        EXPECT_EQ(w->isVisible(), w == app.main_form() || w == app.search_form()) << w->objectName().toStdString();
    EXPECT_TRUE(orv::test::captured_messages().empty());
    app.main_form()->close();
}

TEST_F(AppLifecycle, CaptionNamesTheSimulatedInstrumentAndTheCopy) {
    const struct {
        int instance;
        const char* caption;
    } cases[] = {
        {0, "Talvor RTM5800 V2.10C  -1S      Oscilloscope  100M"},
        {1, "Talvor RTM5800 V2.10C  -2S      Oscilloscope  100M"},
    };
    for (const auto& c : cases) {
        orv::ui::AppOptions o = options_for(folder_, true);
        o.instance_number = c.instance;
        orv::ui::Application app(o);
        ASSERT_FALSE(app.create().has_value());
        EXPECT_EQ(app.main_form()->windowTitle().toStdString(), "Talvor RTM5800 V2.10C ");
        app.show();
        const QString expected = QString::fromLatin1(c.caption);
        EXPECT_TRUE(QTest::qWaitFor([&] { return app.main_form()->windowTitle() == expected; }, 5000))
            << app.main_form()->windowTitle().toStdString();
        // And the frames it sends reach the view.
        EXPECT_TRUE(QTest::qWaitFor([&] { return app.main_form()->frames_shown() > 2; }, 5000));
        app.main_form()->close();
    }
}

TEST_F(AppLifecycle, MissingPreferencesEndStartUpWithTheFatalMessage) {
    fs::remove(folder_.setup_file("usp.vit"));
    orv::ui::Application app(options_for(folder_, false));
    const auto fatal = app.create();
    ASSERT_TRUE(fatal.has_value());
    EXPECT_EQ(fatal->message, "Can't Open Setup File!");
    EXPECT_EQ(fatal->caption, "Open Error");
    // Nothing was shown and nothing came up on its own.
    EXPECT_FALSE(app.main_form()->isVisible());
    EXPECT_FALSE(app.main_form()->read_timer()->isActive());
}

TEST_F(AppLifecycle, MissingLanguageFileIsFatalBeforeAnythingElse) {
    fs::remove(folder_.setup_file("language.vit"));
    orv::ui::Application app(options_for(folder_, false));
    const auto fatal = app.create();
    ASSERT_TRUE(fatal.has_value());
    EXPECT_EQ(fatal->message, "Can't Open Setup File!");
    EXPECT_EQ(fatal->caption, "Open Error");
}

TEST_F(AppLifecycle, ClosingWritesThePreferencesWithTheNewScreenSize) {
    // Saved on another screen: the window starts maximised and closing stores this screen.
    {
        orv::ScopeContext ctx;
        ctx.program_folder = orv::ProgramFolder(folder_.path());
        ASSERT_TRUE(orv::read_language_file(ctx).ok());
        ASSERT_TRUE(orv::load_setup_files(ctx).ok());
        ctx.user_prefs.screen_width = 1;
        ctx.user_prefs.screen_height = 1;
        ASSERT_TRUE(orv::save_user_prefs(ctx));
    }
    orv::ui::Application app(options_for(folder_, false));
    ASSERT_FALSE(app.create().has_value());
    app.show();
    QTest::qWait(50);
    // Nothing found: the search dialog keeps looking while the demo runs.
    EXPECT_TRUE(app.search_form()->isVisible());
    fs::remove(folder_.setup_file("usp.vit"));
    fs::remove(folder_.setup_file("logic_usp.vit"));

    app.main_form()->close();
    EXPECT_TRUE(app.main_form()->closed());
    EXPECT_FALSE(app.main_form()->read_timer()->isActive());
    EXPECT_FALSE(app.search_form()->isVisible());
    ASSERT_EQ(fs::file_size(folder_.setup_file("usp.vit")), 344u);
    ASSERT_EQ(fs::file_size(folder_.setup_file("logic_usp.vit")), 48u);

    orv::UserPrefs saved;
    orv::from_bytes(saved, slurp(folder_.setup_file("usp.vit")));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(saved.screen_width, screen.width());
    EXPECT_EQ(saved.screen_height, screen.height());
    EXPECT_GT(saved.main_width, 0);
    EXPECT_GT(saved.control_panel_width, 0);
    // Closing twice (close box, then SIGTERM) must not run the steps again.
    fs::remove(folder_.setup_file("usp.vit"));
    app.main_form()->close();
    EXPECT_FALSE(fs::exists(folder_.setup_file("usp.vit")));
}

} // namespace
