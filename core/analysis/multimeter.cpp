// SPDX-License-Identifier: MIT
#include "core/analysis/multimeter.h"

#include <cmath>

namespace orv {
namespace {

constexpr std::size_t kMeterPairIndex = 5; // the pair the readings come from

// The meter has always multiplied its factors in single precision; the readings carry about
// seven significant digits, which the three decimals shown never exceed.
double scaled(double value, double volts_per_div, double counts_per_div) {
    const float product = static_cast<float>(value) * static_cast<float>(volts_per_div);
    return static_cast<double>(product) / counts_per_div;
}

void voltage_text(ReadoutText& t, char channel, double v) {
    t.clear();
    const char head[] = {'V', channel, ' ', '=', ' ', ' '};
    t.append({head, sizeof head});
    if (std::fabs(v) >= 1.0) t.append_fixed(v, 3).append("  V");
    else t.append_fixed(v * 1000.0, 1).append("  mV");
}

void current_text(ReadoutText& t, char channel, double i) {
    t.clear();
    const char head[] = {' ', 'I', channel, ' ', '=', ' ', ' '};
    t.append({head, sizeof head});
    if (std::fabs(i) >= 1.0) t.append_fixed(i, 3).append("  A");
    else if (std::fabs(i) >= 0.001) t.append_fixed(i * 1000.0, 3).append("  mA");
    else t.append_fixed(i * 1000000.0, 3).append("  uA");
}

void channel_update(std::span<const uint16_t> samples, uint32_t frame_length, int ch,
                    const MeterChannelInput& in, double counts_per_div, ReadoutText& v_text,
                    ReadoutText& i_text) {
    const char name = ch == 0 ? 'a' : 'b';
    const std::size_t index = 2 * kMeterPairIndex + static_cast<std::size_t>(ch);
    if (index >= samples.size() || index >= frame_length || samples[index] > 255) {
        v_text = ReadoutText(ch == 0 ? kMeterInitialVa : kMeterInitialVb);
        i_text = ReadoutText(ch == 0 ? kMeterInitialIa : kMeterInitialIb);
        return;
    }
    const int32_t ohms = in.ohms <= 0 ? kMeterDefaultOhms : in.ohms;
    const int counts = 127 - static_cast<int>(samples[index]) - in.position;
    const double amps_in_counts = static_cast<double>(counts) / ohms;
    voltage_text(v_text, name, scaled(counts, in.volts_per_div, counts_per_div));
    current_text(i_text, name, scaled(amps_in_counts, in.volts_per_div, counts_per_div));
}

} // namespace

std::optional<int32_t> parse_meter_resistor(std::string_view text) {
    if (text.empty() || text.size() >= 5) return std::nullopt;
    int32_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string meter_resistor_label(char channel, std::string_view typed, int32_t unit) {
    std::string s = "R";
    s += channel;
    s += " = ";
    s += typed;
    s += ' ';
    s += kMeterUnits[unit == 1 ? 1 : 0];
    return s;
}

void repair_meter_setting(int32_t& value, int32_t& unit) {
    if (value < 1 || value > kMeterMaxValue || unit < 0 || unit > 1) {
        value = 1;
        unit = 1;
    }
}

void meter_update(std::span<const uint16_t> samples, uint32_t frame_length, const MeterChannelInput& a,
                  const MeterChannelInput& b, double counts_per_div, MeterReadings& out) {
    channel_update(samples, frame_length, 0, a, counts_per_div, out.va, out.ia);
    channel_update(samples, frame_length, 1, b, counts_per_div, out.vb, out.ib);
}

} // namespace orv
