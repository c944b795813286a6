// SPDX-License-Identifier: MIT
#include "core/files/dat_file.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace orv::files {
namespace {

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

int16_t get16(std::span<const uint8_t> image, std::size_t word) {
    return static_cast<int16_t>(image[2 * word] | (image[2 * word + 1] << 8));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::vector<uint8_t> encode_dat(std::span<const uint16_t> samples, const DatSettings& s) {
    std::vector<uint8_t> out;
    out.reserve(samples.size() * 2 + kDatTrailerBytes);
    for (uint16_t v : samples) put16(out, v);
    put16(out, s.time_base);
    put16(out, s.a_volt_div);
    put16(out, s.b_volt_div);
    put16(out, static_cast<uint16_t>(s.a_position + kDatPositionBias));
    put16(out, static_cast<uint16_t>(s.b_position + kDatPositionBias));
    return out;
}

DatLoad decode_dat(std::span<const uint8_t> image, std::span<uint16_t, kDatLoadBufferEntries> buffer) {
    DatLoad r;
    if (image.size() < kDatMinBytes) return r;
    // An odd length leaves its last byte unread.
    const std::size_t n = image.size() / 2 - 5;
    if (n > kDatMaxEntries) return r;
    DatSettings s;
    s.time_base = static_cast<uint8_t>(get16(image, n) & 0xFF);
    s.a_volt_div = static_cast<uint8_t>(get16(image, n + 1) & 0xFF);
    s.b_volt_div = static_cast<uint8_t>(get16(image, n + 2) & 0xFF);
    s.a_position = static_cast<int16_t>(get16(image, n + 3) - kDatPositionBias);
    s.b_position = static_cast<int16_t>(get16(image, n + 4) - kDatPositionBias);
    // Every table indexed by the time base has 24 rows; a larger index is a malformed file.
    if (s.time_base > kDatMaxTimeBase) return r;
    for (std::size_t i = 0; i < n; ++i) buffer[i] = static_cast<uint16_t>(std::clamp<int>(get16(image, i), 0, 256));
    for (std::size_t i = n; i < n + 5; ++i) buffer[i] = static_cast<uint16_t>(get16(image, i));
    r.status = DatStatus::Ok;
    r.entries = static_cast<uint32_t>(n);
    r.settings = s;
    return r;
}

DatStatus write_dat_file(const std::string& path, std::span<const uint16_t> samples, const DatSettings& settings) {
    const std::vector<uint8_t> image = encode_dat(samples, settings);
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return DatStatus::WriteFailed;
    if (std::fwrite(image.data(), 1, image.size(), f.get()) != image.size()) return DatStatus::WriteFailed;
    if (std::fclose(f.release()) != 0) return DatStatus::WriteFailed;
    return DatStatus::Ok;
}

DatLoad read_dat_file(const std::string& path, std::span<uint16_t, kDatLoadBufferEntries> buffer) {
    DatLoad r;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        r.status = DatStatus::OpenFailed;
        return r;
    }
    if (std::fseek(f.get(), 0, SEEK_END) != 0) {
        r.status = DatStatus::ReadFailed;
        return r;
    }
    const long size = std::ftell(f.get());
    if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) {
        r.status = DatStatus::ReadFailed;
        return r;
    }
    // The size check comes before the read so that a huge file is never read in.
    if (static_cast<std::size_t>(size) < kDatMinBytes ||
        static_cast<std::size_t>(size) / 2 - 5 > kDatMaxEntries)
        return r;
    std::vector<uint8_t> image(static_cast<std::size_t>(size));
    if (std::fread(image.data(), 1, image.size(), f.get()) != image.size()) {
        r.status = DatStatus::ReadFailed;
        return r;
    }
    return decode_dat(image, buffer);
}

} // namespace orv::files
