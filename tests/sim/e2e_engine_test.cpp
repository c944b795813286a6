// SPDX-License-Identifier: MIT
// The engine against the simulated instrument through the real device library.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/engine_fakes.h"
#include "sim/options.h"
#include "sim/simulator_host.h"

using namespace orv;
using namespace orv::test;
using namespace std::chrono_literals;

namespace {

class E2eEngine : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::temp_directory_path() / ("orv_e2e_engine_" + std::to_string(::getpid()));
        std::filesystem::create_directories(home / "setup");
        log = (home / "registers.log").string();
        sim::SimulatorOptions options;
        options.log_registers = log;
        options.quiet = true;
        std::string error;
        host = sim::SimulatorHost::start(options, &error);
        ASSERT_TRUE(host) << error;
        ::setenv("ORBLINK_DEVICE_DIR", host->directory().c_str(), 1);
        ctx.program_folder = ProgramFolder(home);
        apply_startup_defaults(ctx);
        ctx.offset_table = calibration::nominal_offset_table(); // the shipped "ucal.vit"
        scope = std::make_unique<Scope>(ctx, orblink_library(), ui, hooks);
        scope->set_worker(WorkerKind::Time, &time);
        scope->start();
    }
    void TearDown() override {
        scope.reset();
        host.reset();
        std::filesystem::remove_all(home);
    }

    // Ticks every 40 ms (the worker finishing each job at once) until `done` or the time runs out.
    template <class F>
    bool run_until(F done, std::chrono::milliseconds limit = 5000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            time.finish();
            scope->ReadTimerTimer();
            if (scope->search().running()) scope->search().tick();
            if (done()) return true;
            std::this_thread::sleep_for(40ms);
        }
        return false;
    }
    std::vector<std::pair<int, int>> register_log() {
        std::ifstream in(log);
        std::vector<std::pair<int, int>> out;
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            std::istringstream s(line);
            double t;
            int r, v;
            if (s >> t >> r >> v) out.emplace_back(r, v);
        }
        return out;
    }

    std::filesystem::path home;
    std::string log;
    std::unique_ptr<sim::SimulatorHost> host;
    ScopeContext ctx;
    RecordingUi ui;
    EngineHooks hooks;
    FakeWorker time;
    std::unique_ptr<Scope> scope;
};

} // namespace

TEST_F(E2eEngine, LiveFramesSettingsUnplugAndReplug) {
    ASSERT_TRUE(scope->connect("Dev0"));
    int jobs = 0;
    ASSERT_TRUE(run_until([&] { return scope->info_received && (jobs = time.jobs) >= 3; }));
    EXPECT_NE(ui.caption.find("Oscilloscope  200M"), std::string::npos) << ui.caption;
    EXPECT_EQ(scope->frame_count(), 6144u);
    const FrameJob& job = time.last();
    ASSERT_EQ(job.frame_length, 6144u);
    const auto [lo, hi] = std::minmax_element(job.samples.get(), job.samples.get() + 6144);
    EXPECT_LE(*hi, 255);
    EXPECT_GT(*hi - *lo, 5) << "the simulator's signal, not a flat line";

    // A settings change reaches the instrument: 50 ms/div streams 5000-entry packets.
    ctx.current_settings.a_volt_div = 3;
    ctx.current_settings.time_base = 12;
    refresh_derived(ctx, ctx.current_settings);
    ASSERT_TRUE(scope->send_settings());
    ASSERT_TRUE(run_until([&] { return scope->frame_count() == 5000u && scope->roll_count() > 0; }));

    // Unplug: the next tick reconnects, fails, and the demo runs while searching.
    host->unplug(0);
    ASSERT_TRUE(run_until([&] { return ctx.current_settings.run_mode == RunMode::NoDevice; }));
    EXPECT_TRUE(scope->search().running());
    const int before = time.jobs;
    ASSERT_TRUE(run_until([&] { return time.jobs > before + 2; }));
    EXPECT_EQ(time.last().frame_settings.a_volt_div, 3) << "demo frame settings";

    host->replug(0);
    ASSERT_TRUE(run_until([&] { return scope->link().connected() && scope->info_received; }));
    EXPECT_FALSE(scope->search().running());
    EXPECT_EQ(ctx.current_settings.time_base, 12) << "settings survive the replug";
    EXPECT_EQ(ctx.current_settings.a_volt_div, 3);
    ASSERT_TRUE(run_until([&] { return scope->frame_count() == 5000u; }));

    scope->stop();
    scope.reset();
    host.reset();
    const auto regs = register_log();
    auto count = [&](int r, int v) { return std::count(regs.begin(), regs.end(), std::make_pair(r, v)); };
    EXPECT_GE(count(15, 5), 2) << "stream run code, before and after the replug";
    EXPECT_GE(count(153, time_base_code(12, 0) & 0xFF), 2);
    EXPECT_GE(count(161, 24), 2) << "two initialisations";
}
