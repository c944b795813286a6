// SPDX-License-Identifier: MIT
// An in-process simulator for --simulate: serves instruments on a private device directory from
// a background thread and removes everything again when destroyed. The caller points the device
// library at directory() (ORBLINK_DEVICE_DIR) before it opens a device.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orv::sim {

struct SimulatorOptions;
class Service;

class SimulatorHost {
public:
    // Model 0..5; the instrument otherwise has the daemon's defaults.
    static std::unique_ptr<SimulatorHost> start(int model = 0, std::string* error = nullptr);
    // Full control; options.dir is ignored: the host always makes a private directory.
    static std::unique_ptr<SimulatorHost> start(const SimulatorOptions& options, std::string* error = nullptr);
    ~SimulatorHost(); // stops the thread, removes the sockets and the directory
    SimulatorHost(const SimulatorHost&) = delete;
    SimulatorHost& operator=(const SimulatorHost&) = delete;

    const std::string& directory() const;
    std::string device_path(int device = 0) const;
    uint64_t dropped_packets(int device = 0) const;
    void unplug(int device = 0);
    void replug(int device = 0);
    bool plugged(int device = 0) const;

private:
    struct Impl;
    explicit SimulatorHost(std::unique_ptr<Impl> d);
    std::unique_ptr<Impl> d_;
};

} // namespace orv::sim
