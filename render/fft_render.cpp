// SPDX-License-Identifier: MIT
#include "render/fft_render.h"

#include "core/scope/user_prefs.h"
#include "render/colour.h"

#include <QFont>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QString>

#include <array>

namespace orv::render {
namespace {

constexpr int kTop = kFftTextRows;
constexpr int kLabelColumn = 210; // second column of texts: the cursor read-outs

QPen line_pen(uint32_t colour, int draw_mode) {
    QPen pen(to_qcolor(colour));
    pen.setWidth(1);
    pen.setStyle(draw_mode == 0 ? Qt::SolidLine : Qt::DashLine);
    // The end point of a line is left out, as the original canvas does.
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void text_at(QPainter& p, int x, int y, const ReadoutText& t) {
    const std::string_view v = t.view();
    p.drawText(QRect(x, y, 4096, 64), Qt::AlignLeft | Qt::AlignTop,
               QString::fromLatin1(v.data(), static_cast<qsizetype>(v.size())));
}

// The grid of one plot whose baseline is `base`; the divisions always span the A plot height.
void draw_grid(QPainter& p, int w, int base, int span, int column_top) {
    for (int i = 0; i <= 5; ++i) {
        const int y = static_cast<int>(base - i * span * 0.2);
        p.drawLine(0, y, w - 1, y);
    }
    for (int j = 0; j <= 10; ++j) {
        const int x = static_cast<int>(j * (w - 1) * 0.1);
        p.drawLine(x, column_top, x, base);
    }
    const int tick_x0 = static_cast<int>((w - 1) * 0.5);
    const int tick_x1 = static_cast<int>((w - 1) * 0.5 + 3);
    for (int k = 0; k <= 25; ++k) {
        const int y = static_cast<int>(base - k * span * 0.04);
        p.drawLine(tick_x0, y, tick_x1, y);
    }
    for (int l = 0; l <= 50; ++l) {
        const int x = l * (w - 1) / 50;
        p.drawLine(x, base, x, static_cast<int>(base - 4));
    }
}

// One channel's spectrum above `base`, clipped at `top`.
void draw_spectrum(QPainter& p, const FftSpectrum& s, int channel, int w, int base, int top, double scale,
                   bool area) {
    const auto magnitude = [&](int k) { return channel == 0 ? s.a(k) : s.b(k); };
    if (area) {
        std::array<QLine, kFftBins> bars;
        for (int k = 0; k < kFftBins; ++k) {
            const int x = fft_bin_x(k, w);
            bars[static_cast<std::size_t>(k)] = QLine(x, base, x, fft_magnitude_row(magnitude(k), base, top, scale));
        }
        p.drawLines(bars.data(), kFftBins);
        return;
    }
    std::array<QPoint, kFftBins + 1> points;
    points[0] = QPoint(0, static_cast<int>(base - magnitude(0) * scale));
    for (int k = 0; k < kFftBins; ++k)
        points[static_cast<std::size_t>(k) + 1] = QPoint(fft_bin_x(k, w), fft_magnitude_row(magnitude(k), base, top, scale));
    p.drawPolyline(points.data(), kFftBins + 1);
}

} // namespace

FftViewStyle fft_style_from(const orv::UserPrefs& prefs) {
    FftViewStyle s;
    s.background_colour = static_cast<uint32_t>(prefs.fftview_background_colour);
    s.a_colour = static_cast<uint32_t>(prefs.fftview_a_colour);
    s.b_colour = static_cast<uint32_t>(prefs.fftview_b_colour);
    s.cursor_colour = static_cast<uint32_t>(prefs.fftview_cursor_colour);
    s.grid_colour = static_cast<uint32_t>(prefs.fftview_grid_colour);
    // An unknown display code shows both channels rather than none.
    s.display = prefs.fftview_channel_display == 1   ? FftChannelDisplay::AOnly
                : prefs.fftview_channel_display == 2 ? FftChannelDisplay::BOnly
                                                     : FftChannelDisplay::Both;
    s.cursor_on = prefs.fftview_cursor_on != 0;
    s.grid_on = prefs.fftview_grid_on != 0;
    s.grid_draw_mode = prefs.fftview_grid_draw_mode;
    s.cursor_draw_mode = prefs.fftview_cursor_draw_mode;
    s.scheme = prefs.fftview_scheme == 1 ? FftScheme::Percent : FftScheme::Absolute;
    s.area = prefs.fftview_display_mode == 1;
    return s;
}

FftRenderResult render_fft(const FftRenderJob& job, QImage& image) {
    FftRenderResult result;
    const int w = image.width();
    const int h = image.height();
    const FftViewStyle& st = job.style;
    result.layout = fft_layout(h, st.display);
    if (w < 2 || h < 2 || !job.spectrum) return result;
    const FftLayout& l = result.layout;
    const int span = l.plot_height();
    const double span_khz = fft_span_khz(job.device_model, job.time_base);
    const bool show_a = st.display != FftChannelDisplay::BOnly;
    const bool show_b = st.display != FftChannelDisplay::AOnly;
    const bool both = st.display == FftChannelDisplay::Both;

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, w, h, to_qcolor(st.background_colour));

    if (st.grid_on) {
        p.setPen(line_pen(st.grid_colour, st.grid_draw_mode));
        draw_grid(p, w, l.y_a, span, kTop);
        draw_grid(p, w, l.y_b, span, l.y_a + kFftBTextBand);
    }
    p.setPen(line_pen(st.grid_colour, st.grid_on ? st.grid_draw_mode : 0));
    for (int y : {kTop, l.y_a, l.y_b, l.top_b}) p.drawLine(0, y, w, y);

    if (st.cursor_on) {
        p.setPen(line_pen(st.cursor_colour, st.cursor_draw_mode));
        if (show_a) p.drawLine(0, job.cy_a, w, job.cy_a);
        if (show_b) p.drawLine(0, job.cy_b, w, job.cy_b);
        p.drawLine(job.cx, kTop, job.cx, l.y_a);
        if (both) p.drawLine(job.cx, l.y_a + kFftBTextBand, job.cx, l.y_b);
    }

    QFont font = p.font();
    font.setPointSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 255, 0));
    text_at(p, 1, 1, fft_scale_text(job.device_model, job.time_base));
    if (st.cursor_on) text_at(p, kLabelColumn, 1, fft_cursor_text(job.cx, w, span_khz));
    const auto channel_texts = [&](char ch, double vpd, int base, int row, int y) {
        text_at(p, 1, y, fft_scale_label(ch, st.scheme, vpd));
        if (st.cursor_on) text_at(p, kLabelColumn, y, fft_level_text(ch, st.scheme, vpd, base, row, span));
    };
    if (show_a) channel_texts('A', job.a_volts_per_div, l.y_a, job.cy_a, 20);
    if (show_b) channel_texts('B', job.b_volts_per_div, l.y_b, job.cy_b, both ? l.y_a + 3 : 20);

    const FftSpectrum& s = *job.spectrum;
    if (show_a) {
        p.setPen(line_pen(st.a_colour, 0));
        const double scale = span / fft_full_scale(st.scheme, s.sum_a, job.volts_scale);
        draw_spectrum(p, s, 0, w, l.y_a, kTop, scale, st.area);
    }
    if (show_b) {
        p.setPen(line_pen(st.b_colour, 0));
        const double scale = span / fft_full_scale(st.scheme, s.sum_b, job.volts_scale);
        draw_spectrum(p, s, 1, w, l.y_b, l.top_b, scale, st.area);
    }
    result.rendered = true;
    return result;
}

} // namespace orv::render
