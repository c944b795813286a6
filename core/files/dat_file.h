// SPDX-License-Identifier: MIT
// The oscilloscope data file (.dat): the raw sample entries of the frame on display followed by
// a 10-byte trailer (time base, volts/div A and B, positions A and B plus 127). The file has no
// signature; the trailer is found by counting back from the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orv::files {

inline constexpr std::size_t kDatTrailerBytes = 10;
inline constexpr std::size_t kDatMinBytes = 50;          // shorter files are ignored
inline constexpr std::size_t kDatMaxEntries = 32000;     // more entries: ignored
inline constexpr std::size_t kDatLoadBufferEntries = 32005; // samples plus the trailer words
inline constexpr int kDatMaxTimeBase = 23;
inline constexpr int kDatPositionBias = 127;

struct DatSettings {
    uint8_t time_base = 0;
    uint8_t a_volt_div = 0;
    uint8_t b_volt_div = 0;
    int16_t a_position = 0;
    int16_t b_position = 0;
    bool operator==(const DatSettings&) const = default;
};

enum class DatStatus {
    Ok,
    OpenFailed,  // "File Open Error"
    ReadFailed,  // "File Open Error"
    WriteFailed, // "File Save Error"
    Rejected,    // too short, too long or malformed: ignored without a message, nothing changes
};

struct DatLoad {
    DatStatus status = DatStatus::Rejected;
    uint32_t entries = 0; // N, sample entries loaded into the buffer
    DatSettings settings;
};

// The file image of a frame.
std::vector<uint8_t> encode_dat(std::span<const uint16_t> samples, const DatSettings& settings);

// Decodes a file image into `buffer` (samples first, trailer words after them). Sample values
// are clamped into 0..256: every consumer relies on that range. `buffer` is only written when
// the image is accepted.
DatLoad decode_dat(std::span<const uint8_t> image, std::span<uint16_t, kDatLoadBufferEntries> buffer);

DatStatus write_dat_file(const std::string& path, std::span<const uint16_t> samples,
                         const DatSettings& settings);
DatLoad read_dat_file(const std::string& path, std::span<uint16_t, kDatLoadBufferEntries> buffer);

} // namespace orv::files
