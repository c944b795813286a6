// SPDX-License-Identifier: MIT
// Arbitrary file images through the data-file reader: accepted images must hold only 0..256
// samples within the load buffer, and re-encoding them must give back a decodable image.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/files/dat_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::array<uint16_t, orv::files::kDatLoadBufferEntries> buffer;
    auto load = orv::files::decode_dat(std::span<const uint8_t>(data, size), buffer);
    if (load.status != orv::files::DatStatus::Ok) return 0;
    if (load.entries > orv::files::kDatMaxEntries) std::abort();
    for (uint32_t i = 0; i < load.entries; ++i)
        if (buffer[i] > 256) std::abort();
    auto image = orv::files::encode_dat(std::span<const uint16_t>(buffer.data(), load.entries),
                                        load.settings);
    static std::array<uint16_t, orv::files::kDatLoadBufferEntries> again;
    auto reload = orv::files::decode_dat(image, again);
    if (reload.status != orv::files::DatStatus::Ok || !(reload.settings == load.settings))
        std::abort();
    return 0;
}
