// SPDX-License-Identifier: MIT
// The device service: one socket per simulated instrument in the device directory, served from
// the thread that calls run(). Counters and plug controls may be used from any thread.
#pragma once

#include "sim/options.h"

#include <atomic>
#include <memory>
#include <string>

namespace orv::sim {

class Service {
public:
    // Binds the sockets (creating the directory if needed). nullptr and *error on failure.
    static std::unique_ptr<Service> create(const SimulatorOptions& options, std::string* error = nullptr);
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Serves until `stop` becomes true.
    void run(const std::atomic<bool>& stop);

    const std::string& directory() const;
    std::string device_path(int device) const;
    int device_count() const;
    uint64_t dropped_packets(int device) const;
    uint64_t total_dropped() const;
    // Plugging by hand (tests, or a controller): takes effect within one service cycle.
    void request_unplug(int device);
    void request_replug(int device);
    bool plugged(int device) const;

private:
    struct Impl;
    explicit Service(std::unique_ptr<Impl> d);
    std::unique_ptr<Impl> d_;
};

} // namespace orv::sim
