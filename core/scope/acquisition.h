// SPDX-License-Identifier: MIT
// The acquisition engine: the 40 ms tick that drains the instrument's byte stream, the packet
// assembler, the frame handlers (block and roll with the software trigger), commit and dispatch
// to the workers, the demo waveform, and the settings sender over the device link. One object,
// created at start-up with every buffer it will ever use; nothing is allocated per tick.
// Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/scope/device_link.h"
#include "core/scope/engine_hooks.h"
#include "core/scope/scope_context.h"
#include "core/scope/search.h"
#include "core/scope/ui_port.h"
#include "core/scope/worker_jobs.h"

namespace orv {

inline constexpr uint32_t kPacketBuffers = 3;
inline constexpr uint32_t kPacketBufferEntries = 6197;
inline constexpr uint32_t kMaxPacketLength = 6147;
inline constexpr uint32_t kShortDataPacketLength = 5003;
inline constexpr uint32_t kMinPacketLength = 10;
inline constexpr uint32_t kInfoPacketLength = 10;
inline constexpr uint8_t kInfoPacketType = 67;
inline constexpr uint8_t kDataPacketType = 223;
inline constexpr uint32_t kDisplayBufferEntries = 2 * kDisplayCount;
inline constexpr uint32_t kRollBufferEntries = 18441;
inline constexpr uint32_t kReadChunk = 256;
// The resynchronisation drain stops after this many chunks, so a device that never stops
// sending cannot hold the main thread.
inline constexpr uint32_t kResyncDrainChunks = 64;
inline constexpr uint32_t kLoadBufferEntries = 32005;

inline constexpr std::string_view kBaseCaption = "Talvor RTM5800 V2.10C ";

class Scope {
public:
    Scope(ScopeContext& ctx, DeviceLibrary& lib, UiPort& ui, EngineHooks& hooks);
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

    ScopeContext& context() { return ctx_; }
    DeviceLink& link() { return link_; }
    DeviceSearch& search() { return search_; }
    UiPort& ui() { return ui_; }
    EngineHooks& hooks() { return hooks_; }

    // ---- acquisition (acquisition.cpp)
    void ReadTimerTimer();
    // Runs the packet assembler over bytes as if read from the device (benchmark, fuzzing).
    void feed(const uint8_t* bytes, uint32_t count);
    void clear_traces();
    void commit_frame();
    void dispatch_frame();
    void handle_scope_frame();
    void reset_roll_state();
    void select_packet_buffer(uint32_t index);
    // "Trig & View At Center": view at the middle of the record, trigger at 50 %.
    bool trig_and_view_at_center();
    // After the program's windows are up (FormShow): display buffer, empty frame, clear.
    void start();
    // Closing the main window: no more hand-off, stop command to a connected instrument.
    void stop();

    // ---- device link and settings sender (device_link_ops.cpp)
    bool send_command(uint8_t reg, uint8_t value) { return link_.send_command(reg, value); }
    void send_offsets(int16_t a, int16_t b) { link_.send_offsets(a, b); }
    void send_current_offsets();
    int32_t trigger_position() const;   // P, clamped
    uint32_t pretrigger_entries() const; // M = 2 x P
    bool send_trigger_position();
    bool send_time_base();
    bool send_run_mode();
    bool send_changes();
    bool send_settings();
    uint8_t run_code() const;
    void rebuild_relay_bytes();
    bool check_link();
    void reconnect();
    bool connect(std::string_view name);
    void attach(std::string_view name);
    bool init_instrument();
    // Every compared group of SentSettings made to differ, so the next send transmits it all.
    void force_full_send();
    // The device that check_link and reconnect go back to ("Dev0" unless told otherwise).
    void set_home_device(int index) { home_device_ = index; }
    int home_device() const { return home_device_; }

    // ---- workers
    void set_worker(WorkerKind kind, Worker* worker) { workers_[static_cast<std::size_t>(kind)] = worker; }
    void set_handoff_allowed(bool allowed) { handoff_allowed_ = allowed; }

    // ---- state (read by the application, tests and later subsystems)
    int32_t timebar_maximum() const { return timebar_max_; }
    int32_t timebar_position() const { return timebar_pos_; }
    // The user moved the scroll bar.
    void set_timebar_position(int32_t position);

    const Sample* frame_samples() const { return frame_samples_; }
    uint32_t frame_length() const { return frame_length_; }
    uint32_t frame_count() const { return frame_count_; }
    uint32_t display_count() const { return display_count_; }
    const Sample* display_buffer() const { return display_.get(); }
    const Sample* roll_buffer() const { return roll_buffer_; }
    uint32_t roll_count() const { return roll_count_; }
    uint32_t roll_carry() const { return roll_carry_; }
    bool roll_triggered() const { return roll_triggered_; }
    uint32_t trigger_index() const { return trigger_index_; }
    uint32_t packet_buffer_index() const { return packet_buffer_index_; }
    uint32_t packet_received() const { return packet_received_; }
    const Sample* packet_buffer(uint32_t index) const { return packets_.get() + index * kPacketBufferEntries; }
    uint32_t resync_count() const { return resync_count_; }

    // The dedicated buffer a data file is loaded into; show it with show_loaded_frame.
    Sample* load_buffer() { return load_.get(); }
    void show_loaded_frame(uint32_t entries);

    // Frame globals that other subsystems set (run buttons, file open, logic mode).
    void set_frame_length(uint32_t length) { frame_length_ = length; }
    void set_display_count(uint32_t count) { display_count_ = count; }

    bool logic_mode = false;
    bool clear_request = false;
    bool first_frame_pending = true;
    bool info_received = false;
    bool cal_file_loaded = false;
    int device_variant = 51;
    int instance_number = 0;
    ControlValues controls;

    const std::string& caption() const { return caption_; }
    const std::string& product_identifier() const { return product_id_; }
    const std::string& cal_name() const { return cal_name_; }
    uint8_t relay_byte_a() const { return relay_a_; }
    uint8_t relay_byte_b() const { return relay_b_; }

private:

    Sample* current_packet() { return packets_.get() + packet_buffer_index_ * kPacketBufferEntries; }
    bool assemble(const uint8_t* chunk, uint32_t count);
    void complete_packet();
    void resynchronise();
    void handle_info_packet();
    void synthesize_demo();
    void append_pair(const Sample* packet, uint32_t index);
    void switch_roll_buffer();
    void first_roll_buffer();
    bool trigger_test(uint32_t i, int code, int level) const;
    void hand_off();
    // Entries from `p` to the end of the engine buffer it points into.
    uint32_t readable_entries(const Sample* p) const;
    void idle_tick(bool count_toggle_b);
    void set_timebar(int32_t maximum, int32_t position);
    void close_after_failed_init(int index);

    ScopeContext& ctx_;
    DeviceLink link_;
    UiPort& ui_;
    EngineHooks& hooks_;
    DeviceSearch search_;

    // Buffers, allocated once here.
    std::unique_ptr<Sample[]> packets_;
    std::unique_ptr<Sample[]> display_;
    std::unique_ptr<Sample[]> rolls_;
    std::unique_ptr<Sample[]> load_;
    std::array<uint8_t, kReadChunk> chunk_{};

    uint32_t packet_buffer_index_ = 0;
    uint32_t packet_received_ = 0;
    uint32_t packet_expected_ = kMinPacketLength;
    uint32_t queued_ = 0; // bytes the current tick still expects

    uint32_t frame_count_ = kDisplayCount;
    uint32_t display_count_ = kDisplayCount;
    const Sample* frame_samples_ = nullptr;
    uint32_t frame_length_ = 0;

    Sample* roll_buffer_ = nullptr;
    uint32_t roll_count_ = 0;
    uint32_t roll_carry_ = 0;
    bool roll_triggered_ = false;
    uint32_t trigger_index_ = 0;

    bool toggle_a_ = false;
    bool toggle_b_ = false;
    int clear_ticks_ = 0;
    bool logic_mode_seen_ = false;
    bool handoff_allowed_ = true;
    double demo_phase_ = 0.0;
    uint32_t resync_count_ = 0;

    int32_t timebar_max_ = kDisplayCount / 2;
    int32_t timebar_pos_ = kDisplayCount / 4;

    uint8_t relay_a_ = 0;
    uint8_t relay_b_ = 0;
    int home_device_ = 0;
    bool had_connection_ = false;

    std::array<Worker*, kWorkerKinds> workers_{};

    std::string caption_;
    std::string product_id_;
    std::string cal_name_;
};

} // namespace orv
