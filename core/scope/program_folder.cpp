// SPDX-License-Identifier: MIT
#include "core/scope/program_folder.h"

#include <system_error>

namespace orv {

std::string_view user_folder_name(UserFolder folder) {
    switch (folder) {
    case UserFolder::Data: return "user_data";
    case UserFolder::Mode: return "user_mode";
    case UserFolder::Recorder: return "user_recorder";
    case UserFolder::Excel: return "user_excel";
    case UserFolder::Jpg: return "user_jpg";
    case UserFolder::LogicData: return "logic_data";
    }
    return "user_data";
}

std::filesystem::path executable_folder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

ProgramFolder ProgramFolder::resolve(const std::optional<std::filesystem::path>& home) {
    if (home && !home->empty()) {
        std::error_code ec;
        auto absolute = std::filesystem::absolute(*home, ec);
        return ProgramFolder(ec ? *home : absolute);
    }
    return ProgramFolder(executable_folder());
}

std::optional<std::filesystem::path> ProgramFolder::ensure_user_folder(UserFolder folder) const {
    auto dir = user_folder(folder);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir, ec)) return std::nullopt;
    return dir;
}

} // namespace orv
