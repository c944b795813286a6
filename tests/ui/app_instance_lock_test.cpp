// SPDX-License-Identifier: MIT
// Instance numbers: the lowest free one, reused once its holder ends, however it ends.
#include "ui/instance_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using orv::ui::InstanceLock;

class InstanceNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orv_instances_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(InstanceNumbers, LowestFreeNumberIsTakenAndReused) {
    auto first = InstanceLock::acquire(dir_);
    auto second = InstanceLock::acquire(dir_);
    auto third = InstanceLock::acquire(dir_);
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->number(), 0);
    EXPECT_EQ(second->number(), 1);
    EXPECT_EQ(third->number(), 2);
    second.reset();
    auto again = InstanceLock::acquire(dir_);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->number(), 1);
}

TEST_F(InstanceNumbers, AKilledCopyDoesNotKeepItsNumber) {
    fs::create_directories(dir_);
    // Another process holds number 0 with the same kind of lock, then dies without cleaning up.
    // One process from lock to death: the shell takes the lock and becomes the sleeper.
    const std::string script =
        "exec 9>'" + (dir_ / "orv_5800qztSingleApp-0.lock").string() + "' && flock 9 && exec sleep 60";
    const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ), 0);
    int taken = -1;
    for (int i = 0; i < 200 && taken != 1; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        auto probe = InstanceLock::acquire(dir_);
        taken = probe ? probe->number() : -1;
    }
    ASSERT_EQ(taken, 1) << "the other process never held number 0";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    auto after = InstanceLock::acquire(dir_);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->number(), 0);
}

} // namespace
