// SPDX-License-Identifier: MIT
// A tick allocates nothing: every global allocation in this test program is counted.
#include <cstdlib>
#include <new>

#include "engine_fakes.h"

// g++ 12 pairs the replaced global new and delete below wrongly once it inlines them, and
// reports malloc/free as mismatched; they are the matching pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace orv;
using namespace orv::test;

TEST_F(EngineTest, TicksAllocateNothing) {
    connect();
    lib.commands.reserve(4096); // the fake records commands; its growth is not the engine's
    FakeWorker time, peak;
    scope->set_worker(WorkerKind::Time, &time);
    scope->set_worker(WorkerKind::Peak, &peak);
    scope->controls.measure_panel_height = 100;
    const auto frame = flat_packet(3072, 100, 150);
    auto count_tick = [&](bool with_frame) {
        if (with_frame) lib.queue(frame); // the fake's queue may allocate; not the engine
        time.finish();
        peak.finish();
        const long before = g_allocations.load();
        scope->ReadTimerTimer();
        return g_allocations.load() - before;
    };
    count_tick(true); // the first frame of the run
    EXPECT_EQ(count_tick(true), 0) << "block frame";
    EXPECT_EQ(count_tick(false), 0) << "idle tick";
    set_time_base(16);
    EXPECT_EQ(count_tick(true), 0) << "roll frame, Auto";
    set_mode(RunMode::Normal);
    ctx.current_settings.trigger_code = 2;
    EXPECT_EQ(count_tick(true), 0) << "roll frame, software trigger";

    // A resynchronisation.
    std::vector<uint8_t> bad(600, 0xFF);
    lib.queue(bad);
    long before = g_allocations.load();
    scope->ReadTimerTimer();
    EXPECT_EQ(g_allocations.load() - before, 0) << "resynchronisation";

    // The demo.
    scope->link().close_connected();
    set_mode(RunMode::NoDevice);
    before = g_allocations.load();
    for (int i = 0; i < 4; ++i) {
        time.finish();
        scope->ReadTimerTimer();
    }
    EXPECT_EQ(g_allocations.load() - before, 0) << "demo";
    EXPECT_GT(time.jobs, 3);
}
