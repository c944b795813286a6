// SPDX-License-Identifier: MIT
// Writes the shipped setup files into a program folder's setup/ directory. The factory files are
// rewritten every build; the files the program itself writes are only created when missing, so a
// rebuild never erases the user's settings or calibration.
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "core/calibration/offset_table.h"
#include "core/logic/logic_settings.h"
#include "core/scope/setup_files.h"
#include "core/scope/user_prefs.h"

namespace {

namespace fs = std::filesystem;

struct LanguageImage {
    int16_t code;
    uint8_t option;
};

bool ok = true;

template <class T>
void write(const fs::path& dir, std::string_view name, const T& record, std::size_t size = sizeof(T)) {
    const auto bytes = std::as_bytes(std::span<const T, 1>(&record, 1)).first(size);
    if (!orv::write_raw_file_atomic(dir / name, bytes)) {
        std::fprintf(stderr, "make_setup_files: cannot write %s\n", (dir / name).c_str());
        ok = false;
    }
}

template <class T>
void write_if_missing(const fs::path& dir, std::string_view name, const T& record, std::size_t size = sizeof(T)) {
    std::error_code ec;
    if (!fs::exists(dir / name, ec)) write(dir, name, record, size);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_setup_files SETUP_DIR\n");
        return 2;
    }
    const fs::path dir = argv[1];
    std::error_code ec;
    fs::create_directories(dir, ec);

    const orv::UserPrefs prefs = orv::factory_user_prefs();
    const orv::OffsetTable table = orv::calibration::nominal_offset_table();
    const double one = 1.0;
    const LanguageImage language{0, 1}; // English, knob rings drawn

    write(dir, orv::kDefaultPrefsFile, prefs);
    write(dir, orv::kFactoryCalFile, table);
    write(dir, orv::kFactoryConstantFile, one);

    write_if_missing(dir, orv::kUserPrefsFile, prefs);
    write_if_missing(dir, orv::kUserCalFile, table);
    write_if_missing(dir, orv::kCalConstantFile, one);
    write_if_missing(dir, orv::kUserAdjustFile, one);
    write_if_missing(dir, orv::kLogicPrefsFile, orv::default_logic_settings());
    write_if_missing(dir, orv::kLanguageFile, language, orv::kLanguageFileSize);
    return ok ? 0 : 1;
}
