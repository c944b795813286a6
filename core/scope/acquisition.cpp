// SPDX-License-Identifier: MIT
#include "core/scope/acquisition.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/calibration/calibration_data.h"
#include "core/scope/register_command.h"

namespace orv {

namespace {

int mode_of(const Torv& s) { return static_cast<int>(s.run_mode); }
bool is_running_mode(int m) { return m == 1 || m == 2 || m == 3; }
bool is_demo_mode(int m) { return m == 7 || m == 8; }

void fill(Sample* p, uint32_t n) { std::fill(p, p + n, kEndOfData); }

void append_decimal(std::string& s, unsigned v) {
    char digits[4];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v && n < 4);
    while (n) s.push_back(digits[--n]);
}

constexpr std::array<std::string_view, kModels> kModelCaptionText{
    "      Oscilloscope  200M", "      Oscilloscope  100M", "      Oscilloscope  60M",
    "      Oscilloscope  20M",  "      Oscilloscope  40M",  "      Oscilloscope  150M"};

} // namespace

Scope::Scope(ScopeContext& ctx, DeviceLibrary& lib, UiPort& ui, EngineHooks& hooks)
    : ctx_(ctx), link_(lib), ui_(ui), hooks_(hooks), search_(*this),
      packets_(std::make_unique<Sample[]>(kPacketBuffers * kPacketBufferEntries)),
      display_(std::make_unique<Sample[]>(kDisplayBufferEntries)),
      rolls_(std::make_unique<Sample[]>(2 * kRollBufferEntries)),
      load_(std::make_unique<Sample[]>(kLoadBufferEntries)) {
    fill(display_.get(), kDisplayBufferEntries);
    fill(rolls_.get(), 2 * kRollBufferEntries);
    roll_buffer_ = rolls_.get();
    frame_samples_ = display_.get();
    // The texts grow on connection and identification only; reserving here keeps even those
    // ticks free of allocation.
    caption_.reserve(128);
    product_id_.reserve(64);
    cal_name_.reserve(72);
    caption_ = kBaseCaption;
    product_id_ = "123456";
}

void Scope::start() {
    frame_samples_ = display_.get();
    frame_length_ = 0;
    clear_traces();
}

void Scope::stop() {
    handoff_allowed_ = false;
    if (link_.connected()) send_command(reg::kRun, kRunStop);
}

void Scope::select_packet_buffer(uint32_t index) { packet_buffer_index_ = index % kPacketBuffers; }

void Scope::first_roll_buffer() { roll_buffer_ = rolls_.get(); }

void Scope::switch_roll_buffer() {
    roll_buffer_ = roll_buffer_ == rolls_.get() ? rolls_.get() + kRollBufferEntries : rolls_.get();
}

void Scope::reset_roll_state() {
    roll_carry_ = 0;
    roll_count_ = 0;
    hooks_.reset_logic_stream();
    first_roll_buffer();
    select_packet_buffer(0);
}

void Scope::clear_traces() {
    const uint32_t n = std::min<uint32_t>(frame_count_, kDisplayCount);
    // The current frame may be a packet buffer, the roll buffer, the display or the load buffer;
    // only the ones the engine owns are writable, and those are exactly the ones cleared below.
    fill(roll_buffer_, n);
    fill(display_.get(), n);
    fill(display_.get() + kDisplayCount, n);
    const Sample* packet_frame = current_packet() + 3;
    if (frame_samples_ == packet_frame) fill(current_packet() + 3, n);
    roll_count_ = 0;
    first_roll_buffer();
}

void Scope::set_timebar(int32_t maximum, int32_t position) {
    position = std::clamp(position, 0, std::max(maximum, 0));
    if (maximum == timebar_max_ && position == timebar_pos_) return;
    timebar_max_ = maximum;
    timebar_pos_ = position;
    ui_.set_timebar(timebar_max_, timebar_pos_);
}

void Scope::set_timebar_position(int32_t position) { timebar_pos_ = std::clamp(position, 0, std::max(timebar_max_, 0)); }

bool Scope::trig_and_view_at_center() {
    set_timebar(timebar_max_, timebar_max_ / 2);
    ctx_.current_settings.trigger_x_percent = 50.0;
    ctx_.current_settings.view_offset = timebar_pos_;
    return send_trigger_position();
}

void Scope::show_loaded_frame(uint32_t entries) {
    entries = std::min<uint32_t>(entries, kJobSampleCapacity);
    frame_samples_ = load_.get();
    frame_length_ = entries;
    display_count_ = entries;
}

// ---------------------------------------------------------------- tick

void Scope::idle_tick(bool count_toggle_b) {
    toggle_a_ = !toggle_a_;
    if (!toggle_a_) return;
    const int m = mode_of(ctx_.current_settings);
    if (m == 0 || is_demo_mode(m)) commit_frame();
    if (count_toggle_b) {
        toggle_b_ = !toggle_b_;
        if (!toggle_b_) return;
    }
    dispatch_frame();
}

void Scope::ReadTimerTimer() {
    if (clear_request) {
        if (++clear_ticks_ >= 3) {
            clear_request = false;
            clear_ticks_ = 0;
        }
    } else {
        clear_ticks_ = 0;
    }

    if (!link_.connected()) {
        idle_tick(false);
        return;
    }
    DeviceLibrary& lib = link_.library();
    const DeviceHandle h = link_.connected_handle();
    uint32_t rx = 0, tx = 0, events = 0;
    link_.link_status = lib.get_queue_status(h, &rx, &tx, &events);
    uint32_t line = 0;
    if (lib.get_line_state(h, &line) == kLibSuccess) {
        ConnectionSlot& s = link_.slot(link_.connected_slot());
        s.cts = (line & 0x10) ? 1 : 0;
        s.dsr = (line & 0x20) ? 1 : 0;
    }
    if (!check_link()) return;
    if (rx == 0) {
        idle_tick(true);
        return;
    }
    if (mode_of(ctx_.current_settings) == 6) select_packet_buffer(0);

    queued_ = rx;
    while (queued_ > 0) {
        const uint32_t want = std::min(queued_, kReadChunk);
        uint32_t got = 0;
        link_.link_status = lib.read_data(h, chunk_.data(), want, &got);
        // A failed read, or one that timed out short, means the queue figure is stale (or the
        // device is gone): stop here rather than spin.
        if (link_.link_status != kLibSuccess || got == 0) break;
        got = std::min(got, want);
        queued_ -= got;
        if (!assemble(chunk_.data(), got)) return;
        if (got < want) break;
    }
    queued_ = 0;
}

void Scope::feed(const uint8_t* bytes, uint32_t count) {
    while (count > 0) {
        const uint32_t n = std::min(count, kReadChunk);
        queued_ = count - n;
        if (!assemble(bytes, n)) {
            // Resynchronisation drained the rest of this read.
            queued_ = 0;
            return;
        }
        bytes += n;
        count -= n;
    }
    queued_ = 0;
}

// ---------------------------------------------------------------- assembler

bool Scope::assemble(const uint8_t* chunk, uint32_t count) {
    uint32_t pos = 0;
    while (pos < count) {
        Sample* pb = current_packet();
        packet_expected_ = packet_received_ > 3 ? pb[0] + 256u * pb[1] : kMinPacketLength;
        while (packet_received_ < packet_expected_ && pos < count) {
            if (packet_received_ == 4) packet_expected_ = pb[0] + 256u * pb[1];
            pb[packet_received_++] = chunk[pos++];
            if (packet_expected_ > kMaxPacketLength) {
                resynchronise();
                return false;
            }
        }
        if (packet_expected_ < kMinPacketLength) {
            resynchronise();
            return false;
        }
        if (packet_received_ == packet_expected_) complete_packet();
    }
    return true;
}

void Scope::complete_packet() {
    Sample* pb = current_packet();
    const uint32_t length = packet_expected_;
    const Sample type = pb[2];
    if (length == kInfoPacketLength && type == kInfoPacketType) handle_info_packet();
    packet_received_ = 0;
    if (type == kDataPacketType && (length == kMaxPacketLength || length == kShortDataPacketLength)) {
        frame_count_ = length - 3;
        if (first_frame_pending) {
            first_frame_pending = false;
            set_timebar(static_cast<int32_t>(frame_count_ / 2), timebar_pos_);
            trig_and_view_at_center();
        }
        if (!logic_mode)
            handle_scope_frame();
        else
            hooks_.logic_frame(*this);
        dispatch_frame();
        toggle_a_ = toggle_b_ = false;
    }
    packet_expected_ = 0;
}

void Scope::resynchronise() {
    ++resync_count_;
    send_command(reg::kRun, kRunStop);
    link_.link_status = kLibSuccess;
    if (link_.connected()) {
        DeviceLibrary& lib = link_.library();
        const DeviceHandle h = link_.connected_handle();
        for (uint32_t chunks = 0; queued_ > 0 && link_.link_status == kLibSuccess && chunks < kResyncDrainChunks;
             ++chunks) {
            const uint32_t want = std::min(queued_, kReadChunk);
            uint32_t got = 0;
            link_.link_status = lib.read_data(h, chunk_.data(), want, &got);
            if (link_.link_status != kLibSuccess || got == 0) break;
            queued_ -= std::min(got, want);
            if (got < want) break;
        }
    }
    queued_ = 0;
    packet_received_ = 0;
    roll_count_ = 0;
    roll_carry_ = 0;
    roll_triggered_ = false;
    hooks_.reset_logic_stream();
    first_roll_buffer();
    select_packet_buffer(0);
    send_command(reg::kRun, run_code());
}

void Scope::handle_info_packet() {
    const Sample* pb = current_packet();
    // An unknown model would index past the per-model tables.
    ctx_.device_model = bounded_model(pb[4]);
    if (info_received) return;
    device_variant = pb[3];
    info_received = true;

    product_id_.clear();
    for (int i = 2; i <= 4; ++i) append_decimal(product_id_, pb[i]);
    product_id_.push_back(' ');
    for (int i = 5; i <= 9; ++i) append_decimal(product_id_, pb[i]);
    cal_name_ = "cal_";
    cal_name_ += product_id_;

    if (device_variant == 51)
        caption_ += "S";
    else if (device_variant == 52)
        caption_ += "R";
    else
        device_variant = 51;
    if (pb[4] < kModels) caption_ += kModelCaptionText[pb[4]];
    ui_.set_caption(caption_);
    std::string line = "Product ID: ";
    line += product_id_;
    ui_.set_product_line(line);

    if (calibration::load_instrument_calibration(ctx_, cal_name_)) {
        cal_file_loaded = true;
        send_current_offsets();
    } else {
        cal_file_loaded = false;
        ui_.show_general_error(calibration::kNoCalibrationMessage);
    }

    ctx_.sent_settings.time_base = kUnsentTimeBase;
    send_time_base();
    ctx_.sent_settings.time_base = kUnsentTimeBase;
    hooks_.refresh_calibration_view();
}

// ---------------------------------------------------------------- frame handler

void Scope::append_pair(const Sample* packet, uint32_t index) {
    roll_buffer_[roll_count_] = packet[index];
    roll_buffer_[roll_count_ + 1] = packet[index + 1];
    roll_count_ += 2;
}

bool Scope::trigger_test(uint32_t i, int code, int level) const {
    const Sample* b = roll_buffer_;
    switch (code) {
    case 0: return b[i] >= level && b[i - 2] < level;
    case 1: return b[i + 1] >= level && b[i - 1] < level;
    case 2: return b[i] <= level && b[i - 2] > level;
    case 3: return b[i + 1] <= level && b[i - 1] > level;
    case 4: return b[i] == level;
    case 5: return b[i + 1] == level;
    default: return false;
    }
}

void Scope::handle_scope_frame() {
    Torv& cur = ctx_.current_settings;
    const int m = mode_of(cur);
    const bool calibrating = hooks_.calibration_running();
    if ((m == 0 && !calibrating) || m == 6) {
        select_packet_buffer(0);
        return;
    }
    const Sample* pb = current_packet();

    if (cur.block_transfer == 1 || calibrating) {
        roll_count_ = frame_length_ = frame_count_;
        frame_samples_ = pb + 3;
        select_packet_buffer(packet_buffer_index_ + 1);
        if (calibrating) hooks_.calibration_frame_ready(frame_samples_, frame_length_);
        commit_frame();
        return;
    }

    if (roll_count_ > frame_count_) {
        roll_carry_ = 0;
        roll_count_ = 0;
        frame_length_ = 0;
        frame_samples_ = roll_buffer_;
        roll_triggered_ = false;
        switch_roll_buffer();
    }

    const auto step = static_cast<uint32_t>(decimation_step(cur.time_base, ctx_.device_model));
    const uint32_t end = frame_count_ + 3;
    uint32_t idx = roll_carry_ + 3;

    if (m == 1) {
        for (; idx < end; idx += step) {
            append_pair(pb, idx);
            if (roll_count_ >= frame_count_) {
                frame_length_ = frame_count_;
                frame_samples_ = roll_buffer_;
                commit_frame();
                roll_count_ = 0;
                first_roll_buffer();
                return;
            }
        }
        roll_carry_ = idx - end;
        select_packet_buffer(packet_buffer_index_ + 1);
        frame_length_ = roll_count_;
        frame_samples_ = roll_buffer_;
        commit_frame();
        return;
    }

    if (m == 3 && !cur.single_armed && frame_length_ == frame_count_) return;

    for (; idx < end; idx += step) {
        append_pair(pb, idx);
        if (roll_count_ >= frame_count_ && roll_triggered_) {
            frame_length_ = frame_count_;
            frame_samples_ = roll_buffer_;
            commit_frame();
            roll_count_ = 0;
            roll_triggered_ = false;
            switch_roll_buffer();
        }
    }
    roll_carry_ = idx - end;
    select_packet_buffer(packet_buffer_index_ + 1);

    const uint32_t M = pretrigger_entries();
    const int level = 127 - cur.trigger_level;
    if (roll_count_ > M && !roll_triggered_ && (m != 3 || cur.single_armed)) {
        bool hit = false;
        for (uint32_t i = M; i < roll_count_; i += 2) {
            trigger_index_ = i;
            if (trigger_test(i, cur.trigger_code, level)) {
                hit = true;
                break;
            }
        }
        if (!hit) {
            std::memmove(roll_buffer_, roll_buffer_ + (roll_count_ - M), M * sizeof(Sample));
            roll_count_ = M;
            return;
        }
        roll_triggered_ = true;
        cur.single_armed = 0;
        const uint32_t shift = trigger_index_ - M;
        roll_count_ -= shift;
        std::memmove(roll_buffer_, roll_buffer_ + shift, roll_count_ * sizeof(Sample));
        roll_count_ = std::min(roll_count_, frame_count_);
        if (step != 2) {
            frame_length_ = roll_count_;
            frame_samples_ = roll_buffer_;
            commit_frame();
        }
        return;
    }
    if (roll_count_ > M && roll_triggered_) {
        roll_count_ = std::min(roll_count_, frame_count_);
        frame_length_ = roll_count_;
        frame_samples_ = roll_buffer_;
        commit_frame();
    }
}

// ---------------------------------------------------------------- commit and dispatch

void Scope::commit_frame() {
    if (logic_mode != logic_mode_seen_) {
        logic_mode_seen_ = logic_mode;
        clear_traces();
        return;
    }
    if (hooks_.calibration_running()) {
        hooks_.calibration_step();
        return;
    }
    const Torv& cur = ctx_.current_settings;
    const int m = mode_of(cur);
    if (m == 3 && !roll_triggered_ && cur.block_transfer == 0) return;
    if (is_demo_mode(m)) {
        frame_samples_ = display_.get();
        return;
    }
    if (m == 0 || m == 6) return;
    // A loaded data file can be longer than the display buffer.
    frame_length_ = std::min(frame_length_, kDisplayBufferEntries);
    if (frame_samples_ != display_.get())
        std::memmove(display_.get(), frame_samples_, frame_length_ * sizeof(Sample));
    frame_samples_ = display_.get();
    hooks_.record_frame(frame_samples_, frame_length_);
}

void Scope::synthesize_demo() {
    if (demo_phase_ > 1500.0 || demo_phase_ < 0.0) demo_phase_ = 0.0;
    demo_phase_ += 12.5;
    const double t = ctx_.current_settings.time_per_div_ms;
    const double p = demo_phase_;
    double ka, kb;
    bool plain = false;
    if (t > 500) {
        ka = 8e-6; kb = 4e-6;
    } else if (t >= 10) {
        ka = 0.002; kb = 0.001;
    } else if (t >= 0.2) {
        ka = 0.04; kb = 0.02;
    } else if (t > 0.002) {
        ka = 6; kb = 3;
    } else {
        ka = 0.4; kb = 0.6;
        plain = true;
    }
    Sample* d = display_.get();
    for (int i = 0; i < kDisplayCount / 2; ++i) {
        const double x = plain ? (i + p) : t * (i + p);
        d[2 * i] = static_cast<Sample>(static_cast<int>(std::sin(x * ka) * 125 + 127));
        d[2 * i + 1] = static_cast<Sample>(static_cast<int>(std::sin(x * kb) * 125 + 127));
    }
    Torv& f = ctx_.frame_settings;
    const Torv& cur = ctx_.current_settings;
    f.a_volt_div = 3;
    f.b_volt_div = 2;
    f.a_volts_per_div = volts_per_div(3);
    f.b_volts_per_div = volts_per_div(2);
    f.time_base = cur.time_base;
    f.time_per_div_ms = cur.time_per_div_ms;
    f.block_transfer = cur.block_transfer;
    f.a_position = 0;
    f.b_position = -32;
    f.a_position_volts = 0.0;
    f.b_position_volts = counts_to_volts(-32, f.b_volts_per_div, ctx_.counts_per_div);
}

void Scope::dispatch_frame() {
    if (hooks_.calibration_running()) return;
    if (clear_request) clear_traces();
    const int m = mode_of(ctx_.current_settings);
    if (m == 6) {
        hooks_.player_advance(*this);
    } else if (is_demo_mode(m)) {
        synthesize_demo();
    } else if (m != 0) {
        Torv& f = ctx_.frame_settings;
        const Torv& c = ctx_.current_settings;
        f.a_volt_div = c.a_volt_div;
        f.b_volt_div = c.b_volt_div;
        f.time_base = c.time_base;
        f.a_position = c.a_position;
        f.b_position = c.b_position;
        f.a_volts_per_div = c.a_volts_per_div;
        f.b_volts_per_div = c.b_volts_per_div;
        f.time_per_div_ms = c.time_per_div_ms;
        f.block_transfer = c.block_transfer;
        f.a_position_volts = c.a_position_volts;
        f.b_position_volts = c.b_position_volts;
        ctx_.logic_frame_settings = ctx_.logic_settings;
    }
    if (is_running_mode(m)) {
        display_count_ = frame_count_;
    } else if (is_demo_mode(m)) {
        display_count_ = frame_length_ = kDisplayCount;
        frame_samples_ = display_.get();
    }
    int32_t maximum = static_cast<int32_t>(display_count_ < frame_length_ ? frame_length_ / 2 : display_count_ / 2);
    if (logic_mode) maximum *= 8;
    set_timebar(maximum, timebar_pos_);

    if (handoff_allowed_ && !hooks_.realtime_text_recording()) hand_off();
}

uint32_t Scope::readable_entries(const Sample* p) const {
    const auto inside = [p](const Sample* base, uint32_t size) -> uint32_t {
        return p >= base && p < base + size ? static_cast<uint32_t>(base + size - p) : 0;
    };
    if (const uint32_t n = inside(display_.get(), kDisplayBufferEntries)) return n;
    if (const uint32_t n = inside(load_.get(), kLoadBufferEntries)) return n;
    if (const uint32_t n = inside(rolls_.get(), 2 * kRollBufferEntries)) return n;
    if (const uint32_t n = inside(packets_.get(), kPacketBuffers * kPacketBufferEntries)) return n;
    return frame_length_; // a buffer owned elsewhere (playback): only what it says it holds
}

void Scope::hand_off() {
    for (int k = 0; k < kWorkerKinds; ++k) {
        Worker* w = workers_[static_cast<std::size_t>(k)];
        if (!w) continue;
        const auto kind = static_cast<WorkerKind>(k);
        bool wanted = false;
        switch (kind) {
        case WorkerKind::Time: wanted = true; break;
        case WorkerKind::Correlation: wanted = controls.correlation_visible; break;
        case WorkerKind::Xy: wanted = controls.xy_visible; break;
        case WorkerKind::Stereo: wanted = controls.stereo_visible; break;
        case WorkerKind::Peak: wanted = frame_length_ > 10 && controls.measure_panel_height > 25 && !logic_mode; break;
        case WorkerKind::Fft: wanted = controls.fft_visible; break;
        }
        if (!wanted || !w->try_acquire()) continue;
        FrameJob& job = w->job();
        job.kind = kind;
        job.frame_length = std::min(frame_length_, kJobSampleCapacity);
        // The renderer walks display_count entries, not only the new ones: copy the whole record
        // so a cleared view reads as end-of-data instead of the job's previous frame.
        const uint32_t record = std::min(std::max(job.frame_length, display_count_), kJobSampleCapacity);
        const uint32_t readable = frame_samples_ ? std::min(record, readable_entries(frame_samples_)) : 0;
        if (readable) std::memcpy(job.samples.get(), frame_samples_, readable * sizeof(Sample));
        std::fill(job.samples.get() + readable, job.samples.get() + record, kEndOfData);
        job.display_count = display_count_;
        job.timebar_maximum = timebar_max_;
        job.view_centre = timebar_max_ - timebar_pos_;
        job.logic_mode = logic_mode;
        job.device_model = ctx_.device_model;
        job.volts_scale = ctx_.volts_scale;
        job.counts_per_div = ctx_.counts_per_div;
        job.frame_settings = ctx_.frame_settings;
        job.current_settings = ctx_.current_settings;
        job.prefs = ctx_.user_prefs;
        job.logic_frame_settings = ctx_.logic_frame_settings;
        job.controls = controls;
        w->start();
    }
}

} // namespace orv
