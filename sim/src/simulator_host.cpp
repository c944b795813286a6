// SPDX-License-Identifier: MIT
#include "sim/simulator_host.h"

#include "sim/service.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace orv::sim {

struct SimulatorHost::Impl {
    std::string dir;
    std::unique_ptr<Service> service;
    std::atomic<bool> stop{false};
    std::thread thread;

    ~Impl() {
        stop = true;
        if (thread.joinable()) thread.join();
        service.reset();
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
};

SimulatorHost::SimulatorHost(std::unique_ptr<Impl> d) : d_(std::move(d)) {}
SimulatorHost::~SimulatorHost() = default;

std::unique_ptr<SimulatorHost> SimulatorHost::start(int model, std::string* error) {
    SimulatorOptions o;
    o.devices[0].instrument.model = (model >= 0 && model <= 5) ? model : 0;
    o.devices[0].instrument.id = default_id(0);
    o.quiet = true;
    return start(o, error);
}

std::unique_ptr<SimulatorHost> SimulatorHost::start(const SimulatorOptions& options, std::string* error) {
    const char* rt = std::getenv("XDG_RUNTIME_DIR");
    std::string pattern = std::string(rt && *rt ? rt : "/tmp") + "/rtm5800-sim-XXXXXX";
    auto d = std::make_unique<Impl>();
    if (!mkdtemp(pattern.data())) {
        // A runtime directory that is not writable should not stop a demonstration.
        pattern = "/tmp/rtm5800-sim-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            if (error) *error = "cannot create a private device directory";
            return nullptr;
        }
    }
    d->dir = pattern;
    SimulatorOptions o = options;
    o.dir = d->dir;
    d->service = Service::create(o, error);
    if (!d->service) return nullptr;
    Impl* raw = d.get();
    d->thread = std::thread([raw] { raw->service->run(raw->stop); });
    return std::unique_ptr<SimulatorHost>(new SimulatorHost(std::move(d)));
}

const std::string& SimulatorHost::directory() const { return d_->dir; }
std::string SimulatorHost::device_path(int device) const { return d_->service->device_path(device); }
uint64_t SimulatorHost::dropped_packets(int device) const { return d_->service->dropped_packets(device); }
void SimulatorHost::unplug(int device) { d_->service->request_unplug(device); }
void SimulatorHost::replug(int device) { d_->service->request_replug(device); }
bool SimulatorHost::plugged(int device) const { return d_->service->plugged(device); }

} // namespace orv::sim
