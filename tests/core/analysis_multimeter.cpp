// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <vector>

#include "core/analysis/multimeter.h"

namespace orv {
namespace {

TEST(AnalysisMultimeter, ResistorEntry) {
    struct Case {
        const char* text;
        std::optional<int32_t> number;
    };
    const Case cases[] = {
        {"1", 1}, {"9999", 9999}, {"0", 0}, {"0042", 42},
        {"12345", std::nullopt}, // five characters
        {"1.5", std::nullopt},   {"-1", std::nullopt}, {" 12", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parse_meter_resistor(c.text), c.number) << '"' << c.text << '"';

    EXPECT_EQ(meter_ohms(9999, 1), 9999000);
    EXPECT_EQ(meter_ohms(9999, 0), 9999);
    EXPECT_EQ(meter_resistor_label('a', "9999", 1), "Ra = 9999 K");
    EXPECT_EQ(meter_resistor_label('b', "470", 0), "Rb = 470 OHM");
}

TEST(AnalysisMultimeter, StoredSettingsAreRepairedTogether) {
    struct Case {
        int32_t value, unit, repaired_value, repaired_unit;
    };
    const Case cases[] = {
        {470, 0, 470, 0}, {9999, 1, 9999, 1},
        {0, 0, 1, 1}, {10000, 0, 1, 1}, {470, 2, 1, 1}, {470, -1, 1, 1},
    };
    for (const Case& c : cases) {
        int32_t value = c.value, unit = c.unit;
        repair_meter_setting(value, unit);
        EXPECT_EQ(value, c.repaired_value) << c.value << "/" << c.unit;
        EXPECT_EQ(unit, c.repaired_unit) << c.value << "/" << c.unit;
    }
}

TEST(AnalysisMultimeter, ReadingsFromPairFive) {
    struct Case {
        int code, position;
        double volts_per_div;
        int32_t ohms;
        const char* v;
        const char* i;
    };
    const Case cases[] = {
        {127, 0, 1.0, 1000, "Va =  0.0  mV", " Ia =  0.000  uA"},
        {77, 0, 1.0, 1000, "Va =  2.000  V", " Ia =  2.000  mA"},      // c = 50 counts, 1 K
        {77, 0, 1.0, 0, "Va =  2.000  V", " Ia =  2.000  mA"},         // 0 ohms reads as 1 K
        {177, 0, 1.0, 1000, "Va =  -2.000  V", " Ia =  -2.000  mA"},
        {27, 0, 1.0, 1, "Va =  4.000  V", " Ia =  4.000  A"},
        {117, 0, 0.5, 9999000, "Va =  200.0  mV", " Ia =  0.020  uA"},
        {127, -20, 0.05, 1000, "Va =  40.0  mV", " Ia =  40.000  uA"}, // position counts too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        std::vector<uint16_t> record(64, 127);
        record[10] = static_cast<uint16_t>(c.code);
        MeterChannelInput a{c.volts_per_div, c.position, c.ohms};
        MeterReadings out;
        meter_update(record, 64, a, MeterChannelInput{}, 25.0, out);
        EXPECT_EQ(out.va, c.v);
        EXPECT_EQ(out.ia, c.i);
        EXPECT_EQ(out.vb, "Vb =  0.0  mV");
    }
}

TEST(AnalysisMultimeter, MissingPairKeepsTheDashes) {
    std::vector<uint16_t> record(11, 77);
    MeterReadings out;
    meter_update(record, 11, MeterChannelInput{}, MeterChannelInput{}, 25.0, out);
    EXPECT_EQ(out.va, "Va =  2.000  V");
    EXPECT_EQ(out.vb, kMeterInitialVb);
    EXPECT_EQ(out.ib, kMeterInitialIb);
}

} // namespace
} // namespace orv
