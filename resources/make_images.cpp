// SPDX-License-Identifier: MIT
// Draws the view background picture "t.bmp" into the program folder's images/: the first content
// of the trace, FFT, map and X-Y views before anything has been rendered into them. An empty
// screen: black, with a dotted grey 10 x 10 division graticule. A plain 24-bit BMP written by
// hand, so the tool needs nothing but the standard library.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr int kWidth = 501;  // 10 divisions of 50 pixels plus the closing line
constexpr int kHeight = 401; // 10 divisions of 40 pixels plus the closing line
constexpr uint8_t kGrid = 0x80;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool on_grid(int x, int y) {
    const bool vertical = x % 50 == 0 && y % 3 == 0;
    const bool horizontal = y % 40 == 0 && x % 3 == 0;
    return vertical || horizontal;
}

std::vector<uint8_t> background_bmp() {
    const uint32_t row_bytes = (kWidth * 3 + 3) & ~3u;
    const uint32_t pixel_bytes = row_bytes * kHeight;
    std::vector<uint8_t> out;
    out.reserve(54 + pixel_bytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + pixel_bytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40); // BITMAPINFOHEADER
    put32(out, kWidth);
    put32(out, kHeight); // positive: rows bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, pixel_bytes);
    put32(out, 3780); // 96 dpi
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);
    for (int row = kHeight - 1; row >= 0; --row) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t v = on_grid(x, row) ? kGrid : 0;
            out.insert(out.end(), {v, v, v});
        }
        out.resize(out.size() + (row_bytes - kWidth * 3), 0);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_images IMAGES_DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::vector<uint8_t> image = background_bmp();
    // Written beside and renamed over, so a program starting meanwhile never reads half a file.
    const std::filesystem::path target = dir / "t.bmp", temp = dir / "t.bmp.tmp";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        if (!f) {
            std::fprintf(stderr, "make_images: cannot write %s\n", temp.c_str());
            return 1;
        }
    }
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::fprintf(stderr, "make_images: cannot write %s\n", target.c_str());
        return 1;
    }
    return 0;
}
