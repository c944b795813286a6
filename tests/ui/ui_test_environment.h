// SPDX-License-Identifier: MIT
// Shared by every test_ui file: one QApplication on the offscreen platform for the whole run
// (created by a global test environment in ui_test_environment.cpp), message boxes captured
// instead of shown, and temporary program folders.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orv::test {

struct CapturedMessage {
    std::string text;
    std::string caption;
};

// Every message box shown since the last clear (nothing blocks in a test).
std::vector<CapturedMessage>& captured_messages();

// An empty device folder: without --simulate a test never reaches a real device service.
const std::filesystem::path& empty_device_dir();

// A private copy of the built program folder's setup/ and images/, removed on destruction.
class TempProgramFolder {
public:
    explicit TempProgramFolder(const std::string& name);
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path setup_file(const char* name) const { return root_ / "setup" / name; }
    // False when ORV_PROGRAM_DIR is not set or holds no setup files (the test should skip).
    bool ok() const { return ok_; }

private:
    std::filesystem::path root_;
    bool ok_ = false;
};

} // namespace orv::test
