// SPDX-License-Identifier: MIT
// "fft FILE.dat": the FFT magnitudes of a data file's frame, one line per bin 0..1024 with the bin
// number and the magnitudes of A and B, tab-separated. Entries the file does not hold read as the
// end-of-data code 256, as the empty display buffer does.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/analysis/fft.h"
#include "core/files/dat_file.h"

namespace orv::cli {
namespace {

constexpr const char* kUsage = "usage: orv5800-cli [--home DIR] fft FILE.dat\n";

int fft(const GlobalOptions&, Args args) {
    if (args.size() != 1 || args[0].starts_with("-")) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string path(args[0]);
    std::vector<uint16_t> buffer(files::kDatLoadBufferEntries);
    const files::DatLoad load =
        files::read_dat_file(path, std::span<uint16_t, files::kDatLoadBufferEntries>(buffer.data(), buffer.size()));
    if (load.status == files::DatStatus::Rejected) {
        std::fprintf(stderr,
                     "orv5800-cli fft: %s: not an oscilloscope data file "
                     "(under 50 bytes, over 32000 entries or a bad trailer)\n",
                     path.c_str());
        return kExitFailure;
    }
    if (load.status != files::DatStatus::Ok) {
        std::fprintf(stderr, "Can't perform file operations: Open, Read or Close.\n%s\n", path.c_str());
        return kExitFailure;
    }

    FftEngine engine;
    FftSpectrum spectrum;
    // Only the samples: the trailer words stored after them are not part of the record.
    engine.compute(std::span<const uint16_t>(buffer.data(), load.entries), load.entries, spectrum);
    for (int k = 0; k < kFftBins; ++k) std::printf("%d\t%d\t%d\n", k, spectrum.a(k), spectrum.b(k));
    return kExitOk;
}

} // namespace

ORV_CLI_COMMAND("fft", "FILE.dat", "FFT magnitudes of a data file's frame, one line per bin", fft);

} // namespace orv::cli
