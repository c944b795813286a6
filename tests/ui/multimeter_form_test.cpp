// SPDX-License-Identifier: MIT
// The multimeter dialog: resistor entry, repair of the stored values, and the readings it shows.
#include "ui_test_environment.h"

#include "core/analysis/multimeter.h"
#include "core/scope/user_prefs.h"
#include "ui/multimeter_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

struct MeterFixture : ::testing::Test {
    orv::UserPrefs prefs = orv::factory_user_prefs();
    orv::ui::TMulti_metre_form form{prefs};
    QStringList refused;
    MeterFixture() {
        form.on_invalid_input = [this](const QString& t) { refused << t; };
    }
};

TEST_F(MeterFixture, ChangeAcceptsOnlyShortDigitStrings) {
    form.FormCreate();
    const int32_t before = form.ra();
    for (const char* bad : {"12345", "1.5", "", "-1", "1 2"}) {
        SCOPED_TRACE(bad);
        form.Edit1->setText(QString::fromLatin1(bad));
        form.Button1Click();
        EXPECT_EQ(form.ra(), before);
    }
    EXPECT_EQ(refused.size(), 5);
    EXPECT_EQ(refused.value(0), QStringLiteral("Invalid Input !"));

    form.Edit1->setText(QStringLiteral("9999"));
    form.ComboBox1->setCurrentIndex(1);
    form.Button1Click();
    EXPECT_EQ(form.ra(), 9999000);
    EXPECT_EQ(prefs.meter_ra, 9999);
    EXPECT_EQ(prefs.meter_ra_unit, 1);
    EXPECT_EQ(form.Label4->text(), QStringLiteral("Ra = 9999 K"));

    form.Edit2->setText(QStringLiteral("470"));
    form.ComboBox2->setCurrentIndex(0);
    form.Button2Click();
    EXPECT_EQ(form.rb(), 470);
    EXPECT_EQ(form.Label9->text(), QStringLiteral("Rb = 470 OHM"));
}

TEST_F(MeterFixture, CreationRepairsStoredValues) {
    prefs.meter_ra = 0;
    prefs.meter_ra_unit = 0;
    prefs.meter_rb = 50;
    prefs.meter_rb_unit = 7;
    form.FormCreate();
    EXPECT_EQ(prefs.meter_ra, 1);
    EXPECT_EQ(prefs.meter_ra_unit, 1);
    EXPECT_EQ(form.ra(), 1000);
    EXPECT_EQ(prefs.meter_rb, 1);
    EXPECT_EQ(form.rb(), 1000);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("1"));
    EXPECT_EQ(form.ComboBox2->currentIndex(), 1);
    EXPECT_TRUE(refused.isEmpty());
}

// The readings of a pass go to the four read-outs; a channel the pass could not read keeps its text.
TEST_F(MeterFixture, ShowsTheReadingsOfAPass) {
    form.FormCreate();
    std::vector<uint16_t> frame(12, 127);
    frame[10] = 127 - 50; // A: c = 50 counts at 1 V/div and 25 counts/div
    orv::MeterReadings r;
    orv::meter_update(frame, 12, {1.0, 0, 1000}, {1.0, 0, 1000}, 25.0, r);
    form.show_readings(r);
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Va =  2.000  V"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral(" Ia =  2.000  mA"));
    EXPECT_EQ(form.Label7->text(), QStringLiteral("Vb =  0.0  mV"));
    EXPECT_EQ(form.Label8->text(), QStringLiteral(" Ib =  0.000  uA"));
    orv::MeterReadings empty;
    form.show_readings(empty);
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Va =  2.000  V"));
}

} // namespace
