// SPDX-License-Identifier: MIT
// Test doubles for the engine: a scripted device library, a recording user interface and
// workers that keep their last job.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/scope/acquisition.h"
#include "core/scope/device_library.h"
#include "core/scope/ui_port.h"

namespace orv::test {

struct Command {
    uint8_t reg;
    uint8_t value;
    bool operator==(const Command&) const = default;
};

// Up to four devices. Bytes queued with `queue` come back through the queue status and reads;
// every 4-byte write is decoded into a register command.
class FakeLibrary : public DeviceLibrary {
public:
    bool present[4] = {true, false, false, false};
    bool unplugged = false;       // every call on an open handle fails
    uint32_t short_read_limit = 0; // > 0: reads return at most this many bytes
    bool report_more_than_queued = false; // the queue status claims bytes that never come
    int writes_before_failure = -1;
    std::deque<uint8_t> rx;
    std::vector<Command> commands;
    std::vector<std::string> calls; // the link-configuration calls, in order
    int open_handles = 0;
    int reads = 0;

    void queue(const std::vector<uint8_t>& bytes) { rx.insert(rx.end(), bytes.begin(), bytes.end()); }
    std::vector<Command> take_commands() { return std::exchange(commands, {}); }

    LibStatus open_index(int32_t index, DeviceHandle* h) override {
        if (index < 0 || index > 3 || !present[index] || unplugged) return kLibNoSuchDevice;
        if (handle_open[index]) return kLibBadHandle;
        handle_open[index] = true;
        ++open_handles;
        *h = &handle_open[index];
        return kLibSuccess;
    }
    LibStatus close_device(DeviceHandle h) override {
        for (auto& open : handle_open)
            if (h == &open && open) {
                open = false;
                --open_handles;
                return kLibSuccess;
            }
        return kLibBadHandle;
    }
    LibStatus read_data(DeviceHandle h, void* buffer, uint32_t count, uint32_t* got) override {
        ++reads;
        *got = 0;
        if (!ok(h)) return kLibRequestFailed;
        uint32_t n = std::min<uint32_t>(count, static_cast<uint32_t>(rx.size()));
        if (short_read_limit) n = std::min(n, short_read_limit);
        auto* out = static_cast<uint8_t*>(buffer);
        for (uint32_t i = 0; i < n; ++i) {
            out[i] = rx.front();
            rx.pop_front();
        }
        *got = n;
        return kLibSuccess;
    }
    LibStatus write_data(DeviceHandle h, const void* buffer, uint32_t count, uint32_t* put) override {
        *put = 0;
        if (!ok(h)) return kLibRequestFailed;
        if (writes_before_failure == 0) return kLibRequestFailed;
        if (writes_before_failure > 0) --writes_before_failure;
        const auto* b = static_cast<const uint8_t*>(buffer);
        if (count == 4)
            commands.push_back({static_cast<uint8_t>((b[3] & 0x0F) << 4 | (b[2] & 0x0F)),
                                static_cast<uint8_t>((b[0] & 0x0F) << 4 | (b[1] & 0x0F))});
        *put = count;
        return kLibSuccess;
    }
    LibStatus reset_port(DeviceHandle h) override { return call(h, "reset"); }
    LibStatus set_line_speed(DeviceHandle h, uint32_t baud) override {
        return call(h, "speed " + std::to_string(baud));
    }
    LibStatus set_framing(DeviceHandle h, uint8_t w, uint8_t s, uint8_t p) override {
        return call(h, "framing " + std::to_string(w) + " " + std::to_string(s) + " " + std::to_string(p));
    }
    LibStatus set_handshake(DeviceHandle h, uint16_t mode, uint8_t xon, uint8_t xoff) override {
        return call(h, "handshake " + std::to_string(mode) + " " + std::to_string(xon) + " " + std::to_string(xoff));
    }
    LibStatus assert_dtr(DeviceHandle h) override { return call(h, "dtr on"); }
    LibStatus release_dtr(DeviceHandle h) override { return call(h, "dtr off"); }
    LibStatus assert_rts(DeviceHandle h) override { return call(h, "rts on"); }
    LibStatus release_rts(DeviceHandle h) override { return call(h, "rts off"); }
    LibStatus get_line_state(DeviceHandle h, uint32_t* state) override {
        *state = 0x30;
        return ok(h) ? kLibSuccess : kLibRequestFailed;
    }
    LibStatus set_special_chars(DeviceHandle h, uint8_t ec, uint8_t eon, uint8_t erc, uint8_t eron) override {
        return call(h, "chars " + std::to_string(ec) + " " + std::to_string(eon) + " " + std::to_string(erc) + " " +
                           std::to_string(eron));
    }
    LibStatus purge_buffers(DeviceHandle h, uint32_t mask) override { return call(h, "purge " + std::to_string(mask)); }
    LibStatus set_io_timeouts(DeviceHandle h, uint32_t r, uint32_t w) override {
        return call(h, "timeouts " + std::to_string(r) + " " + std::to_string(w));
    }
    LibStatus set_notification(DeviceHandle h, uint32_t mask, uint64_t) override {
        return call(h, "notify " + std::to_string(mask));
    }
    LibStatus get_queue_status(DeviceHandle h, uint32_t* rxq, uint32_t* txq, uint32_t* ev) override {
        *rxq = *txq = *ev = 0;
        if (!ok(h)) return kLibRequestFailed;
        *rxq = static_cast<uint32_t>(rx.size()) + (report_more_than_queued ? 1000u : 0u);
        return kLibSuccess;
    }

private:
    bool ok(DeviceHandle h) const {
        if (unplugged) return false;
        for (const auto& open : handle_open)
            if (h == &open && open) return true;
        return false;
    }
    LibStatus call(DeviceHandle h, std::string what) {
        calls.push_back(std::move(what));
        return ok(h) ? kLibSuccess : kLibRequestFailed;
    }
    bool handle_open[4] = {false, false, false, false};
};

class RecordingUi : public UiPort {
public:
    std::string caption;
    std::string product_line;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<std::string> general_errors;
    int highlighted = -1;
    bool search_visible = false;
    int search_shows = 0;
    bool search_text_visible = true;
    int knob_redraws = 0;
    int label_refreshes = 0;
    int timebar_max = -1;
    int timebar_pos = -1;
    int scope_layouts = 0;

    void set_caption(std::string_view c) override { caption = c; }
    void set_product_line(std::string_view l) override { product_line = l; }
    void show_message(std::string_view t, std::string_view c) override { messages.emplace_back(t, c); }
    void show_general_error(std::string_view t) override { general_errors.emplace_back(t); }
    void highlight_run_button(int i) override { highlighted = i; }
    void show_search_dialog() override {
        search_visible = true;
        ++search_shows;
    }
    void hide_search_dialog() override { search_visible = false; }
    void set_search_text_visible(bool v) override { search_text_visible = v; }
    void redraw_knobs() override { ++knob_redraws; }
    void refresh_labels() override { ++label_refreshes; }
    void set_timebar(int maximum, int position) override {
        timebar_max = maximum;
        timebar_pos = position;
    }
    void enter_scope_layout() override { ++scope_layouts; }
};

class FakeWorker : public Worker {
public:
    bool busy = false;
    int jobs = 0;
    bool try_acquire() override {
        if (busy) return false;
        busy = true;
        return true;
    }
    FrameJob& job() override { return job_; }
    void start() override { ++jobs; }
    void finish() { busy = false; }
    const FrameJob& last() const { return job_; }

private:
    FrameJob job_;
};

// Packet builders.
inline std::vector<uint8_t> packet(uint8_t type, const std::vector<uint8_t>& payload) {
    const auto length = static_cast<uint32_t>(payload.size() + 3);
    std::vector<uint8_t> p(length);
    p[0] = static_cast<uint8_t>(length & 0xFF);
    p[1] = static_cast<uint8_t>(length >> 8);
    p[2] = type;
    std::copy(payload.begin(), payload.end(), p.begin() + 3);
    return p;
}
inline std::vector<uint8_t> info_packet(uint8_t variant, uint8_t model, std::vector<uint8_t> id = {1, 2, 3, 4, 5}) {
    std::vector<uint8_t> payload{variant, model};
    payload.insert(payload.end(), id.begin(), id.end());
    return packet(kInfoPacketType, payload);
}
// A data packet of `pairs` sample pairs, A = a(i), B = b(i).
template <class FA, class FB>
std::vector<uint8_t> data_packet(uint32_t pairs, FA a, FB b) {
    std::vector<uint8_t> payload;
    payload.reserve(2 * pairs);
    for (uint32_t i = 0; i < pairs; ++i) {
        payload.push_back(static_cast<uint8_t>(a(i)));
        payload.push_back(static_cast<uint8_t>(b(i)));
    }
    return packet(kDataPacketType, payload);
}
inline std::vector<uint8_t> flat_packet(uint32_t pairs, uint8_t a, uint8_t b) {
    return data_packet(pairs, [a](uint32_t) { return a; }, [b](uint32_t) { return b; });
}

} // namespace orv::test

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>

namespace orv::test {

inline std::vector<uint8_t> regs(const std::vector<Command>& cmds) {
    std::vector<uint8_t> r;
    for (const auto& c : cmds) r.push_back(c.reg);
    return r;
}

// An engine over a scripted library with a private program folder, at the start-up defaults.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        static std::atomic<int> counter{0};
        home = std::filesystem::temp_directory_path() /
               ("orv_engine_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(home / "setup");
        ctx.program_folder = ProgramFolder(home);
        apply_startup_defaults(ctx);
        scope = std::make_unique<Scope>(ctx, lib, ui, hooks);
        scope->start();
    }
    ~EngineTest() override { std::filesystem::remove_all(home); }

    // Connects to Dev0 and forgets the initialisation traffic. Unless told, the view is taken
    // as already centred, so the first frame sends nothing and moves no trigger.
    void connect(bool first_frame_pending = false) {
        ASSERT_TRUE(scope->connect("Dev0"));
        scope->first_frame_pending = first_frame_pending;
        lib.take_commands();
    }
    // A new engine on the same context and library (the old one's device is closed first).
    void fresh_scope() {
        scope->link().close_connected();
        scope = std::make_unique<Scope>(ctx, lib, ui, hooks);
        scope->start();
    }
    void set_mode(RunMode m) {
        ctx.current_settings.run_mode = m;
        ctx.sent_settings.run_mode = m;
    }
    void set_time_base(int tb) {
        ctx.current_settings.time_base = static_cast<uint8_t>(tb);
        refresh_derived(ctx, ctx.current_settings);
        ctx.sent_settings.time_base = ctx.current_settings.time_base;
    }
    void tick_with(const std::vector<uint8_t>& bytes) {
        lib.queue(bytes);
        scope->ReadTimerTimer();
    }

    std::filesystem::path home;
    ScopeContext ctx;
    FakeLibrary lib;
    RecordingUi ui;
    EngineHooks hooks;
    std::unique_ptr<Scope> scope;
};

} // namespace orv::test
