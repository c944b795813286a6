// SPDX-License-Identifier: MIT
// The instance number of a running copy: the lowest number 0..998 whose lock file in the runtime
// directory no other process holds. The lock is an exclusive flock, so it dies with its process
// and a crashed copy never keeps its number.
#pragma once

#include <filesystem>
#include <optional>

namespace orv::ui {

inline constexpr int kMaxInstances = 999;

class InstanceLock {
public:
    // nullopt when all numbers are taken.
    static std::optional<InstanceLock> acquire(const std::filesystem::path& runtime_dir);
    static std::filesystem::path default_runtime_dir();

    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&&) = delete;
    InstanceLock(const InstanceLock&) = delete;
    ~InstanceLock(); // released last, after the windows are gone

    int number() const { return number_; }
    const std::filesystem::path& file() const { return file_; }

private:
    InstanceLock(int number, int fd, std::filesystem::path file) : number_(number), fd_(fd), file_(std::move(file)) {}
    int number_ = -1;
    int fd_ = -1;
    std::filesystem::path file_;
};

} // namespace orv::ui
