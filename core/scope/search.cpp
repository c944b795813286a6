// SPDX-License-Identifier: MIT
#include "core/scope/search.h"

#include "core/scope/acquisition.h"

namespace orv {

void DeviceSearch::start() {
    running_ = true;
    scope_.ui().show_search_dialog();
}

void DeviceSearch::stop() {
    running_ = false;
    scope_.ui().hide_search_dialog();
}

void DeviceSearch::tick() {
    if (!running_) return;
    text_visible_ = !text_visible_;
    scope_.ui().set_search_text_visible(text_visible_);
    int found = -1;
    for (int n = 0; n < kDeviceSlots && found < 0; ++n) {
        if (only_ && *only_ != n) continue;
        if (scope_.link().open_device(device_name(n))) found = n;
    }
    if (found < 0) return;
    scope_.attach(device_name(found));
    if (scope_.init_instrument()) {
        scope_.reset_roll_state();
        stop();
        return;
    }
    scope_.link().close_slot(found);
    scope_.context().current_settings.run_mode = RunMode::NoDevice;
    scope_.ui().highlight_run_button(7);
}

void DeviceSearch::enter_demo() {
    scope_.hooks().reset_logic_controls();
    running_ = false;
    scope_.context().current_settings.run_mode = RunMode::Demo;
    scope_.context().sent_settings.run_mode = RunMode::Demo;
    scope_.ui().highlight_run_button(7);
    scope_.ui().hide_search_dialog();
}

} // namespace orv
