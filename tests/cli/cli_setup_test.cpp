// SPDX-License-Identifier: MIT
// Runs the built orv5800-cli from the program folder against temporary setup folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exit_code;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("ORV_PROGRAM_DIR");
        if (!dir) GTEST_SKIP() << "ORV_PROGRAM_DIR not set";
        program_dir_ = dir;
        exe_ = program_dir_ / "orv5800-cli";
        if (!fs::exists(exe_)) GTEST_SKIP() << "orv5800-cli not built";
        tmp_ = fs::temp_directory_path() /
               ("orv_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(tmp_);
        fs::create_directories(tmp_ / "home");
    }
    void TearDown() override {
        if (!tmp_.empty()) fs::remove_all(tmp_);
    }

    CliRun run(const std::string& args) const {
        const auto out = tmp_ / "stdout", err = tmp_ / "stderr";
        const std::string cmd = "'" + exe_.string() + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
    }
    static std::string slurp(const fs::path& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path program_dir_, exe_, tmp_;
};

TEST_F(Cli, Version) {
    const CliRun r = run("--version");
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, "orv5800-cli 2.10\n");
}

TEST_F(Cli, SetupShowDecodesTheShippedFolder) {
    fs::copy(program_dir_ / "setup", tmp_ / "home" / "setup", fs::copy_options::recursive);
    // uadj.vit = 1.1 must show up in the derived scale.
    const double gain = 1.1;
    std::ofstream(tmp_ / "home" / "setup" / "uadj.vit", std::ios::binary).write(reinterpret_cast<const char*>(&gain), 8);

    const CliRun r = run("--home '" + (tmp_ / "home").string() + "' setup show");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("counts_per_div                 22.727273\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("volts_scale                    1.100000\n"), std::string::npos);
    EXPECT_NE(r.out.find("measure_item                   0 1 2 3 4 5 6 7 8 9 10 11\n"), std::string::npos);
    EXPECT_NE(r.out.find("logic_cursor_info_colour"), std::string::npos);
}

TEST_F(Cli, MissingSetupFileFailsWithTheSystemMessage) {
    fs::copy(program_dir_ / "setup", tmp_ / "home" / "setup", fs::copy_options::recursive);
    fs::remove(tmp_ / "home" / "setup" / "usp.vit");
    const CliRun r = run("--home '" + (tmp_ / "home").string() + "' setup show");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err.rfind("Can't Open Setup File!\n", 0), 0u) << r.err;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(Cli, UnknownCommandIsAUsageError) {
    EXPECT_EQ(run("frobnicate").exit_code, 2);
    EXPECT_EQ(run("--home").exit_code, 2);
}

} // namespace
