// SPDX-License-Identifier: MIT
#include "render/time_job.h"

#include "core/scope/value_text.h"

#include <cstdio>
#include <string>

namespace orv::render {

namespace {

void set_text(ReadoutText& t, const char* prefix, double value, int decimals, const char* unit) {
    const std::string number = orv::format_fixed(value, decimals);
    std::snprintf(t.text.data(), t.text.size(), "%s%.20s%s", prefix, number.c_str(), unit);
}

void volts_text(ReadoutText& t, const char* prefix, double volts) {
    if (volts >= 1.0)
        set_text(t, prefix, volts, 3, "V");
    else
        set_text(t, prefix, volts * 1000.0, 1, "mV");
}

} // namespace

CursorTexts cursor_texts(double dx_divs, double dy_divs, double time_per_div_ms,
                         double a_volts_per_div, double b_volts_per_div) {
    CursorTexts out;
    volts_text(out.a_text, "|Y1-Y2|: ", dy_divs * a_volts_per_div);
    volts_text(out.b_text, "", dy_divs * b_volts_per_div);

    const double t = dx_divs * time_per_div_ms; // milliseconds
    const char* prefix = "|X1-X2|: ";
    if (t > 1000.0)
        set_text(out.time_text, prefix, t * 0.001, 3, "S");
    else if (t > 1.0)
        set_text(out.time_text, prefix, t, 3, "mS");
    else if (t > 0.001)
        set_text(out.time_text, prefix, t * 1000.0, 3, "uS");
    else
        set_text(out.time_text, prefix, t * 1000000.0, 3, "nS");

    if (t > 1e-7) {
        const double f = 1.0 / t; // kilohertz
        if (f > 1000.0)
            set_text(out.freq_text, "", f * 0.001, 3, "MHz");
        else if (f > 1.0)
            set_text(out.freq_text, "", f, 3, "KHz");
        else
            set_text(out.freq_text, "", f * 1000.0, 3, "Hz");
    } else {
        out.freq_text.text[0] = '\0';
    }
    return out;
}

} // namespace orv::render
