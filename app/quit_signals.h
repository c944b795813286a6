// SPDX-License-Identifier: MIT
// SIGTERM and SIGINT close the main window as its close box does. The handler only writes a
// byte to a pipe; the event loop reads it and does the closing on the main thread.
#pragma once

#include <functional>

namespace orv::app {

// Installs the handlers; `on_signal` runs on the main thread. Returns false when the pipe or the
// handlers cannot be set up.
bool install_quit_signals(std::function<void()> on_signal);

} // namespace orv::app
