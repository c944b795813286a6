// SPDX-License-Identifier: MIT
// Draws the six trigger-edge pictures of the front panel into the program folder's images/:
// rising, level and falling, each plain (black) and highlighted (the chosen edge). Plain
// 24-bit BMP files, written by hand so the tool needs nothing but the standard library.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kSize = 20;

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kFace{240, 240, 240};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kHighlight{220, 0, 0};

using Picture = std::array<std::array<Rgb, kSize>, kSize>;

void dot(Picture& p, int x, int y, Rgb c) {
    if (x >= 0 && x < kSize && y >= 0 && y < kSize) p[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = c;
}

// Two pixels wide, so the stroke survives being scaled on the button.
void hline(Picture& p, int x0, int x1, int y, Rgb c) {
    for (int x = x0; x <= x1; ++x) {
        dot(p, x, y, c);
        dot(p, x, y + 1, c);
    }
}

void vline(Picture& p, int x, int y0, int y1, Rgb c) {
    for (int y = y0; y <= y1; ++y) {
        dot(p, x, y, c);
        dot(p, x + 1, y, c);
    }
}

// An arrow head on the vertical stroke at column x, pointing up (dir -1) or down (dir +1).
void head(Picture& p, int x, int tip, int dir, Rgb c) {
    for (int i = 0; i < 4; ++i)
        for (int dx = -i; dx <= i + 1; ++dx) dot(p, x + dx, tip - dir * i, c);
}

Picture draw(char kind, Rgb ink) {
    Picture p;
    for (auto& row : p) row.fill(kFace);
    switch (kind) {
    case 't': // rising: low, up through the middle, high
        hline(p, 2, 9, 15, ink);
        vline(p, 9, 4, 16, ink);
        hline(p, 9, 17, 3, ink);
        head(p, 9, 6, -1, ink);
        break;
    case 'b': // falling: high, down through the middle, low
        hline(p, 2, 9, 3, ink);
        vline(p, 9, 3, 15, ink);
        hline(p, 9, 17, 15, ink);
        head(p, 9, 13, 1, ink);
        break;
    default: // level: a flat line with a marker on it
        hline(p, 2, 17, 9, ink);
        vline(p, 9, 6, 13, ink);
        break;
    }
    return p;
}

bool write_bmp(const std::filesystem::path& file, const Picture& p) {
    const uint32_t row_bytes = (kSize * 3 + 3) & ~3u;
    const uint32_t image_bytes = row_bytes * kSize;
    const uint32_t file_bytes = 54 + image_bytes;
    std::array<uint8_t, 54> h{};
    const auto put16 = [&](int at, uint32_t v) {
        h[static_cast<std::size_t>(at)] = static_cast<uint8_t>(v);
        h[static_cast<std::size_t>(at + 1)] = static_cast<uint8_t>(v >> 8);
    };
    const auto put32 = [&](int at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    h[0] = 'B';
    h[1] = 'M';
    put32(2, file_bytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, kSize);
    put32(22, kSize);
    put16(26, 1);
    put16(28, 24);
    put32(34, image_bytes);
    put32(38, 2835);
    put32(42, 2835);

    const std::filesystem::path tmp = file.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
        std::array<uint8_t, row_bytes> row{};
        for (int y = kSize - 1; y >= 0; --y) { // bottom-up
            for (int x = 0; x < kSize; ++x) {
                const Rgb c = p[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                row[static_cast<std::size_t>(3 * x)] = c.b;
                row[static_cast<std::size_t>(3 * x + 1)] = c.g;
                row[static_cast<std::size_t>(3 * x + 2)] = c.r;
            }
            out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
        }
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, file, ec);
    return !ec;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_edge_glyphs IMAGES_DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    struct Glyph {
        const char* file;
        char kind;
        bool highlighted;
    };
    const Glyph glyphs[] = {{"to_top.bmp", 't', true},       {"to_level.bmp", 'l', true},
                            {"to_bot.bmp", 'b', true},       {"top_black.bmp", 't', false},
                            {"level_black.bmp", 'l', false}, {"bot_black.bmp", 'b', false}};
    for (const Glyph& g : glyphs) {
        if (!write_bmp(dir / g.file, draw(g.kind, g.highlighted ? kHighlight : kBlack))) {
            std::fprintf(stderr, "make_edge_glyphs: cannot write %s\n", (dir / g.file).c_str());
            return 1;
        }
    }
    return 0;
}
