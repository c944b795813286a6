// SPDX-License-Identifier: MIT
#include "app/quit_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace orv::app {
namespace {

int g_pipe[2] = {-1, -1};

extern "C" void on_quit_signal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

bool install_quit_signals(std::function<void()> on_signal) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [on_signal = std::move(on_signal)] {
        char buf[16];
        while (::read(g_pipe[0], buf, sizeof buf) > 0) {
        }
        on_signal();
    });
    struct sigaction sa {};
    sa.sa_handler = on_quit_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &sa, nullptr) == 0 && ::sigaction(SIGINT, &sa, nullptr) == 0;
}

} // namespace orv::app
