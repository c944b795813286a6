// SPDX-License-Identifier: MIT
#include "render/time_render.h"

#include "render/colour.h"
#include "render/raster_lines.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace orv::render {

// Texts change only when the cursors or the scales do: each is laid out once into a small
// picture and copied into every frame until its text or colours change.
struct CachedText {
    std::array<char, 64> text{};
    uint32_t fg = 0, bg = 0;
    bool valid = false;
    QImage picture;
};

enum TextSlot { kTimeText, kFreqText, kAText, kBText, kLeftMark, kRightMark, kTextSlots };

struct TimeRenderState::Scratch {
    CachedText texts[kTextSlots];
};

TimeRenderState::TimeRenderState()
    : ordinates_(std::make_unique<OrdinateTable>()), scratch_(std::make_unique<Scratch>()) {
    ordinates_->fill(0);
}

TimeRenderState::~TimeRenderState() = default;

namespace {

constexpr uint16_t kEndOfData = 256;
constexpr int kGapEntries = 100; // 50 sample pairs left blank after the refill point

int trunc_int(double v) {
    if (!(v == v)) return 0;
    constexpr double lim = 1 << 30;
    return static_cast<int>(std::clamp(v, -lim, lim));
}

int16_t to_row16(int y) {
    return static_cast<int16_t>(std::clamp(y, int{std::numeric_limits<int16_t>::min()},
                                           int{std::numeric_limits<int16_t>::max()}));
}

uint32_t argb(uint32_t colour) { return to_qcolor(colour).rgb(); }

// Raw code to pixel row for one channel.
struct ChannelMap {
    bool gnd = false;
    bool live = false;
    double c = 0, k = 0, g = 0;
    int pos_current = 0;
    int pos_frame = 0;

    double row(double v) const {
        if (gnd) return c - pos_current * k;
        if (live) return c - (127.0 - v) * k;
        return (v - 127.0 + pos_frame) * g + (c - pos_current * k);
    }
};

struct Geometry {
    int w = 0, h = 0, wp = 0, half_h = 0;
    double c = 0, k = 0, p = 0;
    int s = 0;
    int len = 0;
    int fill = 0;
};

bool in_gap(int fill, int f) { return fill <= f && f < fill + kGapEntries; }

// The read-out font: 8 points bold on a 96 dpi screen.
QFont readout_font() {
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

// Copies `text` at (x, y) (top left) in `fg` on an opaque `bg` box, laying it out only when it
// differs from what the slot holds.
void draw_text(QImage& image, CachedText& slot, int x, int y, const char* text, uint32_t fg, uint32_t bg) {
    if (!text[0]) return;
    const std::size_t n = std::min(std::strlen(text), slot.text.size() - 1);
    if (!slot.valid || slot.fg != fg || slot.bg != bg || std::strncmp(slot.text.data(), text, slot.text.size()) != 0) {
        std::memcpy(slot.text.data(), text, n);
        slot.text[n] = '\0';
        slot.fg = fg;
        slot.bg = bg;
        const QFont font = readout_font();
        const QFontMetrics metrics(font);
        const QString s = QString::fromLatin1(slot.text.data());
        slot.picture = QImage(std::max(1, metrics.horizontalAdvance(s)), std::max(1, metrics.height()),
                              QImage::Format_RGB32);
        slot.picture.fill(bg);
        QPainter painter(&slot.picture);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(fg));
        painter.drawText(0, metrics.ascent(), s);
        slot.valid = true;
    }
    const QImage& pic = slot.picture;
    const int x0 = std::max(0, x), x1 = std::min(image.width(), x + pic.width());
    const int y0 = std::max(0, y), y1 = std::min(image.height(), y + pic.height());
    if (x0 >= x1) return;
    for (int row = y0; row < y1; ++row) {
        const auto* src = reinterpret_cast<const uint32_t*>(pic.constScanLine(row - y)) + (x0 - x);
        auto* dst = reinterpret_cast<uint32_t*>(image.scanLine(row)) + x0;
        std::memcpy(dst, src, static_cast<std::size_t>(x1 - x0) * sizeof(uint32_t));
    }
}

void draw_graticule(LineRaster& raster, const TimeJob& job, const Geometry& g) {
    raster.set_pen(argb(job.prefs.grid_colour), line_style(job.prefs.grid_draw_mode));
    const int bottom = trunc_int(2 * g.c);
    for (int j = -5; j <= 5; ++j) {
        const int y = trunc_int(g.c - g.c * j * 0.2);
        raster.line(0, y, g.wp + 1, y);
    }
    for (int j = 0; j <= 10; ++j) {
        const int x = trunc_int(g.wp * j * 0.1);
        raster.line(x, 0, x, bottom);
    }
    const int tick_left = trunc_int(g.wp * 0.5 - 1);
    const int tick_right = trunc_int(g.wp * 0.5 + 2);
    for (int j = -25; j <= 25; ++j) {
        const int y = trunc_int(g.c - g.c * j * 0.04);
        raster.line(tick_left, y, tick_right, y);
    }
    const int tick_low = trunc_int(g.c + 2);
    const int tick_high = trunc_int(g.c - 2);
    for (int j = 0; j <= 50; ++j) {
        const int x = g.wp * j / 50;
        raster.line(x, tick_low, x, tick_high);
    }
}

void draw_cursors(QImage& image, LineRaster& raster, const TimeJob& job, const Geometry& g, const TimeResult& r,
                  TimeRenderState::Scratch& scratch) {
    raster.set_pen(argb(job.prefs.cursor_colour), line_style(job.prefs.cursor_draw_mode));
    const int bottom = trunc_int(2 * g.c);
    raster.line(job.x1, 0, job.x1, bottom);
    raster.line(job.x2, 0, job.x2, bottom);
    raster.line(0, job.y1, g.wp, job.y1);
    raster.line(0, job.y2, g.wp, job.y2);

    const uint32_t green = qRgb(0, 255, 0);
    const uint32_t bg = argb(job.prefs.background_colour);
    draw_text(image, scratch.texts[kTimeText], 2, 20, r.time_text.c_str(), green, bg);
    draw_text(image, scratch.texts[kFreqText], 50, 40, r.freq_text.c_str(), green, bg);
    draw_text(image, scratch.texts[kAText], 2, 60, r.a_text.c_str(), green, bg);
    draw_text(image, scratch.texts[kBText], 50, 80, r.b_text.c_str(), green, bg);
}

void line_path(LineRaster& raster, const TimeJob& job, const Geometry& g, const ChannelMap& map_a,
               const ChannelMap& map_b, TimeRenderState& state) {
    auto& table = state.ordinates();
    const auto& samples = job.samples;
    const LineStyle style = line_style(job.prefs.channel_draw_mode);

    auto channel = [&](int first, int end, int counter0, int gap_origin, int counter_shift,
                       const ChannelMap& map, bool shown, uint32_t colour) {
        raster.set_pen(argb(colour), style);
        raster.forget_position();
        bool have_pen = false;
        int pen_x = 0, pen_y = 0;
        int f = first, ctr = counter0;
        if (f < 0) {
            ctr = counter0 - f + gap_origin;
            f = gap_origin;
        }
        for (; f < end; f += 2, ctr += 2) {
            const uint16_t v = samples[static_cast<std::size_t>(f)];
            int x = trunc_int((ctr - counter_shift) * g.p);
            if (v == kEndOfData) break;
            int y = trunc_int(map.row(v));
            table[static_cast<std::size_t>(f)] = to_row16(y);
            if (x > g.wp) {
                if (have_pen && pen_x != x)
                    y = static_cast<int>(pen_y + static_cast<int64_t>(y - pen_y) * (g.wp - pen_x) / (x - pen_x));
                x = g.wp;
                if (shown) raster.line_to(x, y);
                table[static_cast<std::size_t>(f)] = to_row16(y);
                break;
            }
            if (shown) {
                if (ctr == counter0 || f == gap_origin || in_gap(g.fill, f))
                    raster.move_to(x, y);
                else
                    raster.line_to(x, y);
            }
            have_pen = true;
            pen_x = x;
            pen_y = y;
        }
    };
    // Channel A walks the even entries; its counter o is the screen offset in entries.
    channel(g.s, g.len - 1, 0, 0, 0, map_a, job.show_a, job.a_colour);
    // Channel B walks the odd entries with u = o + 1, so a pair's B value lands on its A column.
    channel(g.s + 1, g.len, 1, 1, 1, map_b, job.show_b, job.b_colour);

    const bool plus = job.prefs.show_a_plus_b;
    const bool minus = job.prefs.show_a_minus_b && !plus;
    if (!plus && !minus) return;
    raster.set_pen(argb(job.prefs.ab_colour), style);
    raster.forget_position();
    int f = g.s, o = 0;
    if (f < 0) {
        o = -f;
        f = 0;
    }
    for (; f < g.len; f += 2, o += 2) {
        const int x = trunc_int(o * g.p);
        if (samples[static_cast<std::size_t>(f)] == kEndOfData) break;
        const int ya = table[static_cast<std::size_t>(f)];
        const int yb = table[static_cast<std::size_t>(f) + 1];
        const int y = plus ? ya + yb - g.half_h : g.half_h + ya - yb;
        if (o == 0 || f == 0 || in_gap(g.fill, f))
            raster.move_to(x, y);
        else
            raster.line_to(x, y);
        if (x > g.wp) break; // everything after this point lies right of the image
    }
}

void interpolated_path(LineRaster& raster, const TimeJob& job, const Geometry& g, const ChannelMap& map_a,
                       const ChannelMap& map_b) {
    const int pairs = g.len / 2;
    const int n = job.span_current > 0 ? pairs / job.span_current : 0;
    if (n < 1 || pairs < 1) return; // no sub-steps: nothing to interpolate
    const float delta = 0.5f / static_cast<float>(n);
    const auto& samples = job.samples;
    auto a_at = [&](int j) { return samples[static_cast<std::size_t>(2 * j)]; };
    auto b_at = [&](int j) { return samples[static_cast<std::size_t>(2 * j + 1)]; };

    const LineStyle style = line_style(job.prefs.channel_draw_mode);
    const bool plus = job.prefs.show_a_plus_b;
    const bool minus = job.prefs.show_a_minus_b && !plus;
    // A, B and the math trace, each continuing from its own last point with its own dash phase.
    struct Trace {
        uint32_t colour;
        bool shown;
        bool have_pos = false;
        int x = 0, y = 0;
        int64_t phase = 0;
    } traces[3] = {{argb(job.a_colour), job.show_a}, {argb(job.b_colour), job.show_b},
                   {argb(job.prefs.ab_colour), plus || minus}};
    auto extend = [&](Trace& t, int x, int y) {
        if (!t.shown) return;
        if (t.have_pos) {
            raster.set_pen(t.colour, style);
            raster.move_to(t.x, t.y);
            raster.set_phase(t.phase);
            raster.line_to(x, y);
            t.phase = raster.phase();
        }
        t.have_pos = true;
        t.x = x;
        t.y = y;
    };

    bool have_last = false;
    double last_col = -1;
    int last_a = -1, last_b = -1;

    // Returns true when the point lay beyond the right edge: the walk ends there.
    auto plot = [&](double col, double va, double vb) {
        double ya = map_a.row(va);
        double yb = map_b.row(vb);
        const bool clipped = col > g.wp;
        if (clipped) {
            if (have_last && col != last_col) {
                const double frac = (g.wp - last_col) / (col - last_col);
                ya = last_a + (ya - last_a) * frac;
                yb = last_b + (yb - last_b) * frac;
            }
            col = g.wp;
        }
        const int x = trunc_int(col);
        const int ia = trunc_int(ya), ib = trunc_int(yb);
        extend(traces[0], x, ia);
        extend(traces[1], x, ib);
        if (plus) extend(traces[2], x, ia + ib - g.half_h);
        if (minus) extend(traces[2], x, ia - ib + g.half_h);
        have_last = true;
        last_col = x;
        last_a = ia;
        last_b = ib;
        return clipped;
    };

    int j = g.s >= 0 ? g.s / 2 : 0;
    int b = g.s >= 0 ? -1 : (-g.s) / 2 - 1;
    const double col_step = 2 * g.p;
    if (j < pairs && a_at(j) != kEndOfData && !plot((b + 1) * col_step, a_at(j), b_at(j))) {
        ++b;
        ++j;
        for (;;) {
            if (j >= pairs) break;
            if (j - 1 >= pairs - 2) {
                if (a_at(j) != kEndOfData) plot((b + 1) * col_step, a_at(j), b_at(j));
                break;
            }
            const int a1 = a_at(j), a2 = a_at(j + 1);
            if (a_at(j - 1) == kEndOfData || a1 == kEndOfData) break;
            // Curving into the end-of-data code would draw a spike to a code no sample has: the
            // walk ends at the last real sample instead.
            if (a2 == kEndOfData) {
                plot((b + 1) * col_step, a1, b_at(j));
                break;
            }
            const int a0 = a_at(j - 1);
            const int a3 = (j + 2 < pairs && a_at(j + 2) != kEndOfData) ? a_at(j + 2) : a2;
            const int b0 = b_at(j - 1), b1 = b_at(j), b2 = b_at(j + 1);
            const int b3 = (j + 2 < pairs && a_at(j + 2) != kEndOfData) ? b_at(j + 2) : b2;
            bool stop = false;
            for (int m = 1; m < n && !stop; ++m) {
                const float t = static_cast<float>(m) * delta;
                const float t2 = t * t, t3 = t2 * t;
                const float w0 = 4 * t2 - t - 4 * t3;
                const float w1 = 1 - 10 * t2 + 12 * t3;
                const float w2 = t + 8 * t2 - 12 * t3;
                const float w3 = 4 * t3 - 2 * t2;
                const double va = w0 * a0 + w1 * a1 + w2 * a2 + w3 * a3;
                const double vb = w0 * b0 + w1 * b1 + w2 * b2 + w3 * b3;
                const double pos = w0 * b + w1 * (b + 1.0) + w2 * (b + 2.0) + w3 * (b + 3.0);
                stop = plot(pos * col_step, va, vb);
            }
            if (stop) break;
            ++b;
            ++j;
        }
    }
}

void draw_markers(QImage& image, LineRaster& raster, const TimeJob& job, const Geometry& g, TimeResult& r,
                  TimeRenderState::Scratch& scratch) {
    const uint32_t colour = argb(job.prefs.trigger_cursor_colour);
    raster.set_pen(colour, LineStyle::Solid);
    const int yt = trunc_int(g.c - job.current.trigger_level * g.k);
    r.trigger_row = yt;
    raster.line(g.wp - 5, yt, g.wp, yt - 4);
    raster.line(g.wp - 5, yt, g.wp, yt + 4);
    raster.line(5, yt, 0, yt - 4);
    raster.line(5, yt, 0, yt + 4);

    const double n = job.span_current;
    const double nf = job.span_frame;
    const double tc = job.current.time_per_div_ms;
    const double tf = job.frame.time_per_div_ms;
    double xt;
    if (n > 0 && nf > 0 && tc > 0) {
        xt = (n * job.current.trigger_x_percent * 0.01 -
              (job.current.view_offset - job.timebar_position) * (tf / tc) * n / nf) *
             g.wp / n;
    } else {
        xt = g.wp * job.current.trigger_x_percent * 0.01;
    }
    r.trigger_column = xt;
    const uint32_t bg = argb(job.prefs.background_colour);
    if (xt < 0) {
        xt = 0;
        draw_text(image, scratch.texts[kLeftMark], 8, 3, "<=", colour, bg);
    } else if (xt > g.wp) {
        xt = g.wp;
        draw_text(image, scratch.texts[kRightMark], g.w - 18, 3, "=>", colour, bg);
    }
    const int x = trunc_int(xt);
    r.trigger_column_px = x;
    raster.line(x, 5, x - 4, 0);
    raster.line(x, 5, x + 4, 0);
    raster.line(x, g.h - 6, x - 4, g.h - 1);
    raster.line(x, g.h - 6, x + 4, g.h - 1);
}

} // namespace

TimeResult render_time(const TimeJob& job, QImage& image, TimeRenderState& state) {
    TimeResult r;
    if (image.isNull() || image.width() < 2 || image.height() < 2) return r;
    // The lines are written as 32-bit pixels; any other format is converted once.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);

    Geometry g;
    g.w = image.width();
    g.h = image.height();
    g.wp = g.w - 1;
    g.half_h = g.h / 2;
    g.c = (g.h - 1) * 0.5;
    g.k = g.c * 0.008 * job.volts_scale;
    r.centre_row = g.c;
    r.pixels_per_count = g.k;

    const int max_len = static_cast<int>(std::min<std::size_t>(job.samples.size(), kOrdinateEntries - 1));
    g.len = std::clamp(job.record_length, 0, max_len);
    g.fill = std::clamp(job.fill_position, 0, g.len);

    const double n = job.span_current;
    const double nf = job.span_frame;
    const double tc = job.current.time_per_div_ms;
    const double tf = job.frame.time_per_div_ms;
    const bool scalable = n > 0 && nf > 0 && tc > 0;
    g.p = scalable ? g.wp / (2 * n) * (tf / tc) * n / nf : 0.0;
    if (tf == 0 || !scalable) {
        g.s = 0;
    } else {
        const double ratio = tc / tf;
        const double i = job.view_centre - n * 0.5 * ratio -
                         (std::floor(nf / 2) - std::floor(n / 2)) * ratio;
        const double bound = 1 << 24;
        g.s = 2 * static_cast<int>(std::clamp(i, -bound, bound));
    }

    if (job.prefs.cursor_on) {
        const double dx = std::abs(job.x1 - job.x2) * 10.0 / g.wp;
        const double dy = std::abs(job.y1 - job.y2) * 5.0 / g.c;
        const CursorTexts t = cursor_texts(dx, dy, job.current.time_per_div_ms,
                                           job.current.a_volts_per_div, job.current.b_volts_per_div);
        r.time_text = t.time_text;
        r.freq_text = t.freq_text;
        r.a_text = t.a_text;
        r.b_text = t.b_text;
    }

    image.fill(argb(job.prefs.background_colour));
    LineRaster raster(reinterpret_cast<uint32_t*>(image.bits()), g.w, g.h,
                      static_cast<int>(image.bytesPerLine() / 4));
    TimeRenderState::Scratch& scratch = state.scratch();

    if (job.prefs.grid_on) draw_graticule(raster, job, g);
    if (job.prefs.cursor_on) draw_cursors(image, raster, job, g, r, scratch);

    ChannelMap map_a, map_b;
    const bool live = job.current.run_mode >= 1 && job.current.run_mode <= 3;
    for (ChannelMap* m : {&map_a, &map_b}) {
        m->live = live;
        m->c = g.c;
        m->k = g.k;
    }
    map_a.gnd = job.current.a_coupling == 1;
    map_b.gnd = job.current.b_coupling == 1;
    map_a.pos_current = job.current.a_position;
    map_b.pos_current = job.current.b_position;
    map_a.pos_frame = job.frame.a_position;
    map_b.pos_frame = job.frame.b_position;
    map_a.g = job.current.a_volts_per_div != 0 ? job.frame.a_volts_per_div / job.current.a_volts_per_div * g.k : g.k;
    map_b.g = job.current.b_volts_per_div != 0 ? job.frame.b_volts_per_div / job.current.b_volts_per_div * g.k : g.k;

    if (scalable) {
        const uint8_t tb = job.current.time_base;
        const uint8_t mode = job.current.run_mode;
        const bool fast = tb >= 17 && tb <= 20;
        const bool held = mode == 0 || mode == 7 || mode == 8;
        if (fast && (job.prefs.interpolation_on || held))
            interpolated_path(raster, job, g, map_a, map_b);
        else
            line_path(raster, job, g, map_a, map_b, state);
    }

    if (job.show_markers) draw_markers(image, raster, job, g, r, scratch);
    r.rendered = true;
    return r;
}

} // namespace orv::render
