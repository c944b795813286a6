// SPDX-License-Identifier: MIT
// rtm5800-sim: serves simulated RTM5800 instruments on the device directory until interrupted.
#include "sim/service.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {
std::atomic<bool> g_stop{false};
extern "C" void on_signal(int) { g_stop = true; }
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto parsed = orv::sim::parse_options(args);
    if (parsed.help) {
        std::fputs(orv::sim::usage().c_str(), stdout);
        return 0;
    }
    if (!parsed.ok) {
        std::fprintf(stderr, "rtm5800-sim: %s\n%s", parsed.error.c_str(), orv::sim::usage().c_str());
        return 2;
    }
    std::string error;
    auto service = orv::sim::Service::create(parsed.options, &error);
    if (!service) {
        std::fprintf(stderr, "rtm5800-sim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGPIPE, SIG_IGN);
    if (!parsed.options.quiet) {
        for (int k = 0; k < service->device_count(); ++k)
            std::fprintf(stderr, "rtm5800-sim: instrument %d on %s\n", k, service->device_path(k).c_str());
    }
    service->run(g_stop);
    for (int k = 0; k < service->device_count(); ++k)
        std::fprintf(stderr, "rtm5800-sim: instrument %d dropped %llu packets\n", k,
                     static_cast<unsigned long long>(service->dropped_packets(k)));
    return 0;
}
