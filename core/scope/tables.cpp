// SPDX-License-Identifier: MIT
#include "core/scope/tables.h"

namespace orv {
namespace {

using ModelRow = std::array<int32_t, kTimeBases>;

// Columns 12..16 repeat the code of index 12; 17..22 are zero.
constexpr ModelRow code_row(std::array<int32_t, 12> first, int32_t slow, int32_t last) {
    ModelRow r{};
    for (int i = 0; i < 12; ++i) r[i] = first[i];
    for (int i = 12; i <= 16; ++i) r[i] = slow;
    r[23] = last;
    return r;
}

// Columns 3..16 are 2500.
constexpr ModelRow span_row(int32_t s0, int32_t s1, int32_t s2, std::array<int32_t, 7> fast) {
    ModelRow r{};
    r[0] = s0;
    r[1] = s1;
    r[2] = s2;
    for (int i = 3; i <= 16; ++i) r[i] = 2500;
    for (int i = 0; i < 7; ++i) r[17 + i] = fast[i];
    return r;
}

constexpr std::array<uint8_t, kTimeBases> kBlockRow{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,
                                                    0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1};
constexpr std::array<uint8_t, kTimeBases> kDecimationRow{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                                         10, 20, 40, 100, 200, 2, 2, 2, 2, 2, 2, 2};

int bounded_time_base(int time_base) { return valid_time_base(time_base) ? time_base : kFallbackTimeBase; }

} // namespace

const std::array<std::string_view, kTimeBases> kTimeBaseLabels{
    "5uS/Div",   "10uS/Div",  "20uS/Div",  "50uS/Div",  "100uS/Div", "200uS/Div",
    "500uS/Div", "1mS/Div",   "2mS/Div",   "5mS/Div",   "10mS/Div",  "20mS/Div",
    "50mS/Div",  "100mS/Div", "200mS/Div", "500mS/Div", "1S/Div",    "20nS/Div",
    "50nS/Div",  "100nS/Div", "200nS/Div", "500nS/Div", "1uS/Div",   "2uS/Div",
};

const std::array<double, kTimeBases> kTimeBaseMsPerDiv{
    0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20,
    50, 100, 200, 500, 1000, 0.00002, 0.00005, 0.0001, 0.0002, 0.0005, 0.001, 0.002,
};

const std::array<std::array<uint8_t, kTimeBases>, kModels> kBlockTransfer{
    kBlockRow, kBlockRow, kBlockRow, kBlockRow, kBlockRow, kBlockRow};

const std::array<std::array<uint8_t, kTimeBases>, kModels> kDecimationStep{
    kDecimationRow, kDecimationRow, kDecimationRow, kDecimationRow, kDecimationRow, kDecimationRow};

const std::array<std::array<int32_t, kTimeBases>, kModels> kTimeBaseCode{
    code_row({2, 4, 8, 20, 40, 80, 200, 400, 800, 2000, 4000, 8000}, 4000, 1),
    code_row({1, 2, 4, 10, 20, 40, 100, 200, 400, 1000, 2000, 4000}, 2000, 0),
    code_row({1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200, 2400}, 1200, 0),
    code_row({0, 0, 1, 2, 4, 8, 20, 40, 80, 200, 400, 800}, 400, 0),
    code_row({0, 1, 2, 4, 8, 16, 40, 80, 160, 400, 800, 1600}, 800, 0),
    code_row({2, 3, 6, 15, 30, 60, 150, 300, 600, 1500, 3000, 6000}, 3000, 0),
};

const std::array<std::array<int32_t, kTimeBases>, kModels> kTriggerSpan{
    span_row(2500, 2500, 2500, {40, 100, 200, 400, 1000, 2000, 2000}),
    span_row(2500, 2500, 2500, {20, 50, 100, 200, 500, 1000, 2000}),
    span_row(1500, 1500, 2000, {12, 30, 60, 120, 300, 600, 1200}),
    span_row(1000, 2000, 2000, {4, 10, 20, 40, 100, 200, 400}),
    span_row(2000, 2000, 2000, {8, 20, 40, 80, 200, 400, 800}),
    span_row(1875, 2500, 2500, {30, 75, 150, 300, 750, 1500, 3000}),
};

const std::array<uint8_t, kModels> kTimeBaseAfterSlowest{17, 17, 18, 19, 19, 17};

const std::array<std::string_view, kModels> kModelBandwidth{"200 MHz", "100 MHz", "60 MHz",
                                                            "20 MHz",  "40 MHz",  "150 MHz"};

const std::array<double, kVoltDivs> kVoltsPerDiv{0.05, 0.1, 0.2, 0.5, 1, 2, 5, 1, 0.01, 0.02};

const std::array<std::string_view, kSampleRateCount> kSampleRateLabels{
    "100MS/S", "50MS/S",  "25MS/S",  "10MS/S", "5MS/S",  "2.5MS/S", "1MS/S", "500KS/S",
    "250KS/S", "100KS/S", "50KS/S", "25KS/S", "10KS/S", "",        "",
};

const std::array<std::string_view, kRunButtons> kRunButtonCaptions{
    "&HOLD", "&AUTO", "&NORMAL", "&SINGLE", "FREE RUN", "RECORDE", "&PlayBack", "&DEMO",
};

double volts_per_div(int index) {
    return (index >= 0 && index < kVoltDivs) ? kVoltsPerDiv[static_cast<std::size_t>(index)] : 1.0;
}

std::string_view time_base_label(int time_base) {
    return kTimeBaseLabels[static_cast<std::size_t>(bounded_time_base(time_base))];
}

double time_per_div_ms(int time_base) {
    return kTimeBaseMsPerDiv[static_cast<std::size_t>(bounded_time_base(time_base))];
}

uint8_t block_transfer(int time_base, int model) {
    return kBlockTransfer[static_cast<std::size_t>(bounded_model(model))]
                         [static_cast<std::size_t>(bounded_time_base(time_base))];
}

int decimation_step(int time_base, int model) {
    return kDecimationStep[static_cast<std::size_t>(bounded_model(model))]
                          [static_cast<std::size_t>(bounded_time_base(time_base))];
}

int32_t time_base_code(int time_base, int model) {
    return kTimeBaseCode[static_cast<std::size_t>(bounded_model(model))]
                        [static_cast<std::size_t>(bounded_time_base(time_base))];
}

int32_t trigger_span(int time_base, int model) {
    return kTriggerSpan[static_cast<std::size_t>(bounded_model(model))]
                       [static_cast<std::size_t>(bounded_time_base(time_base))];
}

std::string_view sample_rate_label(int index) {
    return (index >= 0 && index < kSampleRateCount) ? kSampleRateLabels[static_cast<std::size_t>(index)]
                                                      : std::string_view{};
}

std::string_view run_button_caption(int index) {
    return (index >= 0 && index < kRunButtons) ? kRunButtonCaptions[static_cast<std::size_t>(index)]
                                                : std::string_view{};
}

} // namespace orv
