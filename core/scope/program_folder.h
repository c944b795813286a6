// SPDX-License-Identifier: MIT
// The program folder: the executable's folder, or the one given with --home. "setup/" below it
// is read and written alike, so a copy started from another working folder still finds and keeps
// its settings.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace orv {

enum class UserFolder { Data, Mode, Recorder, Excel, Jpg, LogicData };

std::string_view user_folder_name(UserFolder folder); // "user_data", ..., "logic_data"

// The folder of the running executable (from /proc/self/exe); empty when it cannot be found.
std::filesystem::path executable_folder();

class ProgramFolder {
public:
    ProgramFolder() = default;
    explicit ProgramFolder(std::filesystem::path root) : root_(std::move(root)) {}

    // `home` when given (--home DIR), else the executable's folder.
    static ProgramFolder resolve(const std::optional<std::filesystem::path>& home = std::nullopt);

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path setup_dir() const { return root_ / "setup"; }
    std::filesystem::path setup_file(std::string_view name) const { return setup_dir() / name; }
    std::filesystem::path images_dir() const { return root_ / "images"; }
    std::filesystem::path user_folder(UserFolder folder) const { return root_ / user_folder_name(folder); }

    // The user folder, created on first use. nullopt when it cannot be created.
    std::optional<std::filesystem::path> ensure_user_folder(UserFolder folder) const;

private:
    std::filesystem::path root_;
};

} // namespace orv
