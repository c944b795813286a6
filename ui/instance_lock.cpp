// SPDX-License-Identifier: MIT
#include "ui/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace orv::ui {

std::filesystem::path InstanceLock::default_runtime_dir() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) return xdg;
    return std::filesystem::temp_directory_path();
}

std::optional<InstanceLock> InstanceLock::acquire(const std::filesystem::path& runtime_dir) {
    std::error_code ec;
    std::filesystem::create_directories(runtime_dir, ec);
    for (int i = 0; i < kMaxInstances; ++i) {
        // The file name carries the number in decimal: the original 21-character name starts
        // with the character 49 + i, which is no valid file name for some i.
        auto file = runtime_dir / ("orv_5800qztSingleApp-" + std::to_string(i) + ".lock");
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return InstanceLock(i, fd, std::move(file));
        ::close(fd);
    }
    return std::nullopt;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : number_(other.number_), fd_(other.fd_), file_(std::move(other.file_)) {
    other.fd_ = -1;
}

InstanceLock::~InstanceLock() {
    if (fd_ < 0) return;
    // The file stays: removing it could race a copy that has just opened it; the lock is what
    // counts and it goes with the descriptor.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
}

} // namespace orv::ui
