// SPDX-License-Identifier: MIT
#include "ui_test_environment.h"

#include "ui/message_forms.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace orv::test {
namespace fs = std::filesystem;

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // A developer may ask for a real display with QT_QPA_PLATFORM=xcb.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ::setenv("ORBLINK_DEVICE_DIR", empty_device_dir().c_str(), 1);
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        orv::ui::set_message_sink([](std::string_view text, std::string_view caption) {
            captured_messages().push_back({std::string(text), std::string(caption)});
        });
    }
    void TearDown() override {
        orv::ui::set_message_sink({});
        app_.reset();
        fs::remove_all(empty_device_dir());
    }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

std::vector<CapturedMessage>& captured_messages() {
    static std::vector<CapturedMessage> messages;
    return messages;
}

const fs::path& empty_device_dir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("orv_test_ui_devices_" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

TempProgramFolder::TempProgramFolder(const std::string& name) {
    root_ = fs::temp_directory_path() / ("orv_test_ui_" + std::to_string(::getpid()) + "_" + name);
    fs::remove_all(root_);
    fs::create_directories(root_);
    const char* built = std::getenv("ORV_PROGRAM_DIR");
    if (!built || !fs::exists(fs::path(built) / "setup" / "usp.vit")) return;
    fs::copy(fs::path(built) / "setup", root_ / "setup", fs::copy_options::recursive);
    if (fs::exists(fs::path(built) / "images"))
        fs::copy(fs::path(built) / "images", root_ / "images", fs::copy_options::recursive);
    ok_ = true;
}

TempProgramFolder::~TempProgramFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

} // namespace orv::test
