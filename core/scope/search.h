// SPDX-License-Identifier: MIT
// The device search that runs while no instrument is found: every 400 ms it blinks the
// dialog's text and tries Dev0..Dev3. The dialog window belongs to the application.
#pragma once

#include <optional>

namespace orv {

class Scope;

inline constexpr int kSearchIntervalMs = 400;
inline constexpr const char* kSearchCaption = "RTM5800";
inline constexpr const char* kSearchText = "Searching  Oscilloscope ,Pls Wait . . .";
inline constexpr const char* kEnterDemoButton = "Enter &Demo";

class DeviceSearch {
public:
    explicit DeviceSearch(Scope& scope) : scope_(scope) {}

    bool running() const { return running_; }
    bool text_visible() const { return text_visible_; }
    // Restrict the search to one device (the command-line tool's --device).
    void only_device(std::optional<int> index) { only_ = index; }

    void start();   // show the dialog and run the timer
    void stop();    // stop the timer and hide the dialog
    void tick();    // one 400 ms timer tick
    void enter_demo(); // "Enter &Demo"

private:
    Scope& scope_;
    bool running_ = false;
    bool text_visible_ = true;
    std::optional<int> only_;
};

} // namespace orv
