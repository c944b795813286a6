// SPDX-License-Identifier: MIT
// The Scope operations that talk to the instrument: the settings sender, connection, the
// instrument's initialisation and the recovery of a broken link.
#include <algorithm>
#include <string>

#include "core/scope/acquisition.h"
#include "core/scope/front_end.h"
#include "core/scope/register_command.h"

namespace orv {

namespace {
int mode_of(const Torv& s) { return static_cast<int>(s.run_mode); }
bool in_stop_modes(int m) { return m == 0 || m == 7 || m == 8; }
int bounded_volt_div(int index) { return (index >= 0 && index < kVoltDivs) ? index : 7; }
constexpr int kSettlingStops = 50;
} // namespace

uint8_t Scope::run_code() const {
    const Torv& cur = ctx_.current_settings;
    return cur.block_transfer == 1 ? static_cast<uint8_t>(cur.run_mode) : kRunStream;
}

void Scope::send_current_offsets() {
    const Torv& c = ctx_.current_settings;
    send_offsets(ctx_.offset_table.offset_for(Channel::A, c.a_volt_div, c.a_position),
                 ctx_.offset_table.offset_for(Channel::B, c.b_volt_div, c.b_position));
}

int32_t Scope::trigger_position() const {
    const Torv& c = ctx_.current_settings;
    const int32_t span = trigger_span(c.time_base, ctx_.device_model);
    const auto quarter = static_cast<int32_t>(frame_count_ / 4);
    // Signed throughout: "View To Left" puts view_offset below frame_count / 4.
    const auto p = static_cast<int32_t>(span * c.trigger_x_percent * 0.01 - (c.view_offset - quarter) + quarter -
                                        span / 2 + 3);
    const auto upper = static_cast<int32_t>(frame_count_ / 2) - 5;
    return std::max(4, std::min(p, upper));
}

uint32_t Scope::pretrigger_entries() const { return 2u * static_cast<uint32_t>(trigger_position()); }

bool Scope::send_trigger_position() {
    const int32_t p = trigger_position();
    return send_command(reg::kTriggerPosLow, static_cast<uint8_t>(p & 0xFF)) &&
           send_command(reg::kTriggerPosHigh, static_cast<uint8_t>(p >> 8));
}

bool Scope::send_time_base() {
    Torv& cur = ctx_.current_settings;
    Torv& sent = ctx_.sent_settings;
    const int m = mode_of(cur);
    if (m < 1 || m > 3) return true;
    if (cur.time_base == sent.time_base) return true;
    sent.time_base = cur.time_base;
    const int32_t code = time_base_code(cur.time_base, ctx_.device_model);
    if (!send_command(reg::kRun, kRunStop) || !send_command(reg::kTimeBaseLow, static_cast<uint8_t>(code & 0xFF)) ||
        !send_command(reg::kTimeBaseHigh, static_cast<uint8_t>((code >> 8) & 0xFF)) || !send_trigger_position() ||
        !send_command(reg::kRun, run_code()))
        return false;
    clear_traces();
    return true;
}

bool Scope::send_run_mode() {
    Torv& cur = ctx_.current_settings;
    Torv& sent = ctx_.sent_settings;
    const int old_mode = mode_of(sent);
    const int new_mode = mode_of(cur);
    if (old_mode == new_mode) return true;
    sent.run_mode = cur.run_mode;
    if (in_stop_modes(old_mode) && in_stop_modes(new_mode)) return true;
    uint8_t value = kRunStop;
    if (new_mode != 7 && new_mode != 0) {
        reset_roll_state();
        sent.time_base = cur.time_base;
        const int32_t code = time_base_code(cur.time_base, ctx_.device_model);
        if (!send_command(reg::kRun, kRunStop) ||
            !send_command(reg::kTimeBaseHigh, static_cast<uint8_t>((code >> 8) & 0xFF)) ||
            !send_command(reg::kTimeBaseLow, static_cast<uint8_t>(code & 0xFF)))
            return false;
        value = run_code();
    } else if (!send_command(reg::kRun, kRunStop)) {
        return false;
    }
    return send_command(reg::kRun, value);
}

void Scope::rebuild_relay_bytes() {
    const Torv& c = ctx_.current_settings;
    const auto a = static_cast<std::size_t>(bounded_volt_div(c.a_volt_div));
    const auto b = static_cast<std::size_t>(bounded_volt_div(c.b_volt_div));
    relay_a_ = static_cast<uint8_t>((relay_a_ & kKeepAttenuatorA) | kAttenuatorA[a]);
    relay_b_ = static_cast<uint8_t>((relay_b_ & kKeepGainA) | kGainA[a]);
    relay_a_ = static_cast<uint8_t>((relay_a_ & kKeepAttenuatorB) | kAttenuatorB[b]);
    relay_b_ = static_cast<uint8_t>((relay_b_ & kKeepGainB) | kGainB[b]);
    // GND leaves the coupling bit as it was.
    if (c.a_coupling == kCouplingDC) relay_a_ |= kCouplingBitA;
    else if (c.a_coupling == kCouplingAC) relay_a_ &= static_cast<uint8_t>(~kCouplingBitA);
    if (c.b_coupling == kCouplingDC) relay_a_ |= kCouplingBitB;
    else if (c.b_coupling == kCouplingAC) relay_a_ &= static_cast<uint8_t>(~kCouplingBitB);
}

bool Scope::send_changes() {
    Torv& cur = ctx_.current_settings;
    Torv& sent = ctx_.sent_settings;
    const int m = mode_of(cur);
    if (m < 1 || m > 3) return true;

    if (cur.time_base != sent.time_base) {
        sent.time_base = cur.time_base;
        const int32_t code = time_base_code(cur.time_base, ctx_.device_model);
        if (!send_command(reg::kRun, kRunStop) ||
            !send_command(reg::kTimeBaseLow, static_cast<uint8_t>(code & 0xFF)) ||
            !send_command(reg::kTimeBaseHigh, static_cast<uint8_t>((code >> 8) & 0xFF)) ||
            !send_command(reg::kRun, run_code()))
            return false;
        clear_traces();
    }
    if (cur.a_position != sent.a_position || cur.b_position != sent.b_position) {
        sent.a_position = cur.a_position;
        sent.b_position = cur.b_position;
        send_current_offsets();
    }
    cur.trigger_code = trigger_code(cur);
    const UserPrefs& prefs = ctx_.user_prefs;
    if (cur.trigger_level != sent.trigger_level || cur.trigger_code != sent.trigger_code ||
        prefs.invert_a != sent.sent_invert_a || prefs.invert_b != sent.sent_invert_b) {
        sent.trigger_level = cur.trigger_level;
        sent.sent_invert_a = prefs.invert_a;
        sent.sent_invert_b = prefs.invert_b;
        if (!send_command(reg::kTriggerLevel, static_cast<uint8_t>((127 - cur.trigger_level) & 0xFF))) return false;
    }
    if (cur.trigger_code != sent.trigger_code) {
        sent.trigger_code = cur.trigger_code;
        if (!send_command(reg::kTriggerCode, cur.trigger_code)) return false;
    }
    if (cur.a_volt_div != sent.a_volt_div || cur.b_volt_div != sent.b_volt_div ||
        cur.a_coupling != sent.a_coupling || cur.b_coupling != sent.b_coupling) {
        sent.a_volt_div = cur.a_volt_div;
        sent.b_volt_div = cur.b_volt_div;
        sent.a_coupling = cur.a_coupling;
        sent.b_coupling = cur.b_coupling;
        rebuild_relay_bytes();
        if (!send_command(reg::kRun, kRunStop)) return false;
        sent.a_position = cur.a_position;
        sent.b_position = cur.b_position;
        send_current_offsets();
        if (!send_command(reg::kRelayB, 0) || !send_command(reg::kRelayA, relay_a_) ||
            !send_command(reg::kRelayB, relay_b_))
            return false;
        // The relays need time to settle before the instrument runs again.
        for (int i = 0; i < kSettlingStops; ++i)
            if (!send_command(reg::kRun, kRunStop)) return false;
        if (!send_command(reg::kRun, run_code())) return false;
        clear_traces();
    }
    return true;
}

bool Scope::send_settings() { return send_run_mode() && send_changes(); }

void Scope::force_full_send() {
    const Torv& c = ctx_.current_settings;
    Torv& s = ctx_.sent_settings;
    s.time_base = kUnsentTimeBase;
    s.a_position = static_cast<int16_t>(c.a_position + 1);
    s.b_position = static_cast<int16_t>(c.b_position + 1);
    s.a_volt_div = static_cast<uint8_t>(c.a_volt_div + 1);
    s.b_volt_div = static_cast<uint8_t>(c.b_volt_div + 1);
    s.a_coupling = c.a_coupling + 1;
    s.b_coupling = c.b_coupling + 1;
    s.trigger_code = static_cast<uint8_t>(c.trigger_code + 1);
    s.trigger_level = static_cast<int16_t>(c.trigger_level + 1);
}

// ---------------------------------------------------------------- connection

void Scope::attach(std::string_view name) {
    const auto n = parse_device_name(name);
    if (!n) return;
    caption_ = kBaseCaption;
    caption_ += " -";
    caption_ += std::to_string(instance_number + 1);
    ui_.set_caption(caption_);
    link_.attach(*n, this);
}

bool Scope::connect(std::string_view name) {
    if (link_.connected()) return true;
    ctx_.current_settings.run_mode = RunMode::NoDevice;
    if (link_.open_device(name)) {
        attach(name);
        if (init_instrument()) {
            reset_roll_state();
            search_.stop();
            return true;
        }
        attach(name);
        link_.close_slot(*parse_device_name(name));
    }
    ui_.highlight_run_button(7);
    search_.start();
    return false;
}

bool Scope::init_instrument() {
    Torv& cur = ctx_.current_settings;
    Torv& sent = ctx_.sent_settings;
    if (logic_mode && !hooks_.logic_demo_running()) {
        send_command(reg::kRelayB, kRelayBFinal);
        cur.run_mode = RunMode::Auto;
        sent.run_mode = RunMode::Demo;
        if (!valid_time_base(cur.time_base)) cur.time_base = kFallbackTimeBase;
        ui_.redraw_knobs();
        refresh_derived(ctx_, cur);
        force_full_send();
        if (!send_settings()) return false;
        hooks_.enter_logic_mode(*this);
        return hooks_.apply_logic_settings(*this);
    }
    ui_.enter_scope_layout();
    if (!send_command(reg::kRun, kRunStop)) return false;
    send_command(reg::kInit, 0);
    if (!send_command(reg::kRun, kRunStop) || !send_command(reg::kLogicMode, 0) || !send_command(reg::kScopeMode, 0))
        return false;
    logic_mode = false;
    if (!had_connection_) {
        reset_scope_defaults(ctx_);
    } else {
        // A reconnection (a USB glitch, an unplug and replug) keeps what the user had set.
        cur.run_mode = RunMode::Auto;
        if (!valid_time_base(cur.time_base)) cur.time_base = kFallbackTimeBase;
        refresh_derived(ctx_, cur);
        force_full_send();
        sent.run_mode = RunMode::Demo;
    }
    // The offset sequence counter runs on across connections, as the last bytes sent are kept.
    if (!send_settings() || !send_command(reg::kInit, 0)) return false;
    clear_traces();
    sent.run_mode = RunMode::Demo;
    if (!send_run_mode()) return false;
    had_connection_ = true;
    ui_.highlight_run_button(run_button_index(mode_of(cur)));
    ui_.redraw_knobs();
    send_command(reg::kRelayB, kRelayBFinal);
    return true;
}

bool Scope::check_link() {
    if (!link_.connected()) {
        connect(device_name(home_device_));
        return false;
    }
    if (link_.link_status != kLibSuccess) {
        reconnect();
        return false;
    }
    return true;
}

void Scope::reconnect() {
    if (hooks_.calibration_running() || hooks_.calibration_dialog_showing() ||
        ctx_.current_settings.run_mode == RunMode::Playback)
        return;
    hooks_.close_recording();
    caption_ = kBaseCaption;
    ui_.set_caption(caption_);
    ui_.set_product_line({});
    device_variant = 51;
    info_received = false;
    cal_file_loaded = false;
    hooks_.reset_logic_controls();
    ctx_.logic_frame_settings = ctx_.logic_settings;
    hooks_.refresh_calibration_view();
    if (link_.connected()) {
        // The slot is freed even while searching: a slot left owned by a closed handle could
        // never be opened again.
        link_.close_connected();
        if (ctx_.current_settings.run_mode == RunMode::NoDevice) return;
    }
    connect(device_name(home_device_));
}

} // namespace orv
