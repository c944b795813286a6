// SPDX-License-Identifier: MIT
// What the engine asks of the user interface. The application implements it with its windows;
// tests record the calls. Called on the main thread only, from inside the engine's operations.
#pragma once

#include <string_view>

namespace orv {

class UiPort {
public:
    virtual ~UiPort() = default;

    virtual void set_caption(std::string_view caption) = 0;
    // The About box's product line: "Product ID: " + identifier, or empty after a disconnect.
    virtual void set_product_line(std::string_view line) = 0;
    // A modal message box with a caption.
    virtual void show_message(std::string_view text, std::string_view caption) = 0;
    // The non-blocking, stay-on-top general error window (caption "Error").
    virtual void show_general_error(std::string_view text) = 0;
    // Run button `index` (0..7) red, the other seven black.
    virtual void highlight_run_button(int index) = 0;

    // The device search dialog; the engine keeps its state and 400 ms tick, the window is yours.
    virtual void show_search_dialog() = 0;
    virtual void hide_search_dialog() = 0;
    virtual void set_search_text_visible(bool visible) = 0;

    // Redraw the six knobs from CurrentSettings, and refresh the value labels and selectors.
    virtual void redraw_knobs() = 0;
    virtual void refresh_labels() = 0;

    // The horizontal scroll bar `timebar`; the engine owns its values and reports changes.
    virtual void set_timebar(int maximum, int position) = 0;

    // Oscilloscope-mode window layout and menu items (StandardOscilloscope1 disabled,
    // LogicalOscilloscope1 enabled).
    virtual void enter_scope_layout() = 0;
};

} // namespace orv
