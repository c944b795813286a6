// SPDX-License-Identifier: MIT
#include "sim/service.h"

#include "orblink_service.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace orv::sim {
namespace {

using Clock = std::chrono::steady_clock;

std::string socket_name(int k) { return "dev" + std::to_string(k); }

class SimDevice : public orblink::wire::BasicDevice {
public:
    SimDevice(const DeviceOptions& opt, int number, bool virtual_clock, FILE* log)
        : BasicDevice(identity_for(opt, number)), opt_(opt), virtual_(virtual_clock), log_(log),
          instrument_(opt.instrument) {
        instrument_.on_register([this](double t, int r, int v) {
            if (log_) std::fprintf(log_, "%.6f %d %d\n", t, r, v);
        });
        instrument_.on_drop([this](double t, uint64_t total) {
            dropped_.store(total);
            if (log_) std::fprintf(log_, "# %.6f dropped %llu\n", t, static_cast<unsigned long long>(total));
        });
    }

    // Wall time moves the instrument; the virtual clock moves only on demand.
    void tick() {
        if (!virtual_) instrument_.advance_to(elapsed());
    }
    double elapsed() const { return std::chrono::duration<double>(Clock::now() - epoch_).count(); }
    void power_on() {
        instrument_.power_cycle();
        epoch_ = Clock::now();
        if (virtual_) instrument_.advance_to(0.0);
    }
    Instrument& instrument() { return instrument_; }
    uint64_t dropped() const { return dropped_.load(); }
    FILE* log() const { return log_; }
    void set_stop_flag(const std::atomic<bool>* stop) { stop_ = stop; }

protected:
    std::size_t read_data(uint8_t* dst, std::size_t max, uint32_t wait_ms) override {
        tick();
        if (virtual_) {
            // Packets on demand: produce until the read can be served or nothing is due.
            for (int i = 0; i < 64 && instrument_.queued() < max && wait_ms > 0; ++i)
                if (!instrument_.step(1.0)) break;
            return instrument_.read(dst, max);
        }
        auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
        while (instrument_.queued() < max && Clock::now() < deadline && !(stop_ && stop_->load())) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            tick();
        }
        return instrument_.read(dst, max);
    }
    std::size_t write_data(std::span<const uint8_t> data, uint32_t) override {
        tick();
        instrument_.write(data);
        return data.size();
    }
    uint32_t queued_bytes() override {
        tick();
        if (virtual_ && instrument_.queued() == 0) instrument_.step(1.0);
        return uint32_t(instrument_.queued());
    }
    void purge(uint32_t mask) override {
        tick();
        instrument_.purge(mask);
    }
    void on_connect() override {
        BasicDevice::on_connect();
        // A new handle starts with an empty driver buffer; the instrument keeps its registers.
        tick();
        std::vector<uint8_t> sink(instrument_.queued());
        instrument_.read(sink.data(), sink.size());
    }

private:
    static orblink::wire::DeviceIdentity identity_for(const DeviceOptions& opt, int number) {
        orblink::wire::DeviceIdentity id;
        char serial[16];
        const auto& b = opt.instrument.id;
        std::snprintf(serial, sizeof serial, "RT%02X%02X%02X%02X", b[1], b[2], b[3], b[4]);
        id.serial = serial;
        id.identity2 = serial;
        id.description = "RTM5800 USB Oscilloscope";
        id.identity1 = "RTM5800";
        id.identity_number = uint32_t(number + 1);
        return id;
    }

    DeviceOptions opt_;
    bool virtual_;
    FILE* log_;
    Instrument instrument_;
    Clock::time_point epoch_ = Clock::now();
    std::atomic<uint64_t> dropped_{0};
    const std::atomic<bool>* stop_ = nullptr;
};

struct Slot {
    std::unique_ptr<SimDevice> device;
    std::unique_ptr<orblink::wire::DeviceServer> server;
    std::string path;
    DeviceOptions options;
    Clock::time_point next_change{Clock::time_point::max()};
    bool next_is_unplug = false;
    std::atomic<int> request{0}; // 1 unplug, 2 replug
    std::atomic<bool> plugged{false};
    FILE* log = nullptr;
};

} // namespace

struct Service::Impl {
    SimulatorOptions options;
    std::string dir;
    std::vector<std::unique_ptr<Slot>> slots;

    ~Impl() {
        for (auto& s : slots) {
            if (s->server && s->device) s->server->drop_client(*s->device);
            s->server.reset();
            if (s->log) {
                std::fprintf(s->log, "# dropped %llu\n", static_cast<unsigned long long>(s->device->dropped()));
                std::fclose(s->log);
            }
        }
    }

    bool plug(Slot& s, std::string* error) {
        s.server = orblink::wire::DeviceServer::listen(s.path, error);
        if (!s.server) return false;
        s.device->power_on();
        s.plugged = true;
        schedule_unplug(s);
        return true;
    }
    void unplug(Slot& s) {
        if (s.server) {
            s.server->drop_client(*s.device);
            s.server.reset(); // removes the socket file: the device is gone
        }
        s.device->instrument().power_cycle();
        s.plugged = false;
        if (s.options.replug_after_s >= 0) {
            s.next_change = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(s.options.replug_after_s));
            s.next_is_unplug = false;
        } else {
            s.next_change = Clock::time_point::max();
        }
    }
    void schedule_unplug(Slot& s) {
        if (s.options.unplug_after_s >= 0) {
            s.next_change = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(s.options.unplug_after_s));
            s.next_is_unplug = true;
        } else {
            s.next_change = Clock::time_point::max();
        }
    }
};

Service::Service(std::unique_ptr<Impl> d) : d_(std::move(d)) {}
Service::~Service() = default;

std::unique_ptr<Service> Service::create(const SimulatorOptions& options, std::string* error) {
    auto d = std::make_unique<Impl>();
    d->options = options;
    d->dir = options.dir.empty() ? default_device_dir() : options.dir;
    std::error_code ec;
    std::filesystem::create_directories(d->dir, ec);
    if (ec) {
        if (error) *error = "cannot create " + d->dir + ": " + ec.message();
        return nullptr;
    }
    for (std::size_t k = 0; k < options.devices.size(); ++k) {
        auto s = std::make_unique<Slot>();
        s->options = options.devices[k];
        s->path = d->dir + "/" + socket_name(int(k));
        if (!options.log_registers.empty()) {
            std::string file = options.log_registers + (k ? "." + std::to_string(k) : "");
            s->log = std::fopen(file.c_str(), "w");
            if (!s->log) {
                if (error) *error = "cannot write " + file;
                return nullptr;
            }
        }
        s->device = std::make_unique<SimDevice>(s->options, int(k), options.virtual_clock, s->log);
        if (!d->plug(*s, error)) return nullptr;
        d->slots.push_back(std::move(s));
    }
    return std::unique_ptr<Service>(new Service(std::move(d)));
}

void Service::run(const std::atomic<bool>& stop) {
    // One thread per instrument: a read that waits out its time-out on one device must not
    // hold up the requests of another.
    auto serve = [this, &stop](Slot& s) {
        s.device->set_stop_flag(&stop);
        while (!stop.load()) {
            int req = s.request.exchange(0);
            if (req == 1 && s.plugged) d_->unplug(s);
            if (req == 2 && !s.plugged) d_->plug(s, nullptr);
            if (Clock::now() >= s.next_change) {
                if (s.next_is_unplug) d_->unplug(s);
                else d_->plug(s, nullptr);
            }
            if (s.server) {
                s.device->tick();
                s.server->poll_once(*s.device, 4);
                if (s.log) std::fflush(s.log);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(4));
            }
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t k = 1; k < d_->slots.size(); ++k) threads.emplace_back(serve, std::ref(*d_->slots[k]));
    if (!d_->slots.empty()) serve(*d_->slots[0]);
    for (auto& t : threads) t.join();
}

const std::string& Service::directory() const { return d_->dir; }
std::string Service::device_path(int device) const { return d_->slots.at(std::size_t(device))->path; }
int Service::device_count() const { return int(d_->slots.size()); }
uint64_t Service::dropped_packets(int device) const { return d_->slots.at(std::size_t(device))->device->dropped(); }
uint64_t Service::total_dropped() const {
    uint64_t n = 0;
    for (const auto& s : d_->slots) n += s->device->dropped();
    return n;
}
void Service::request_unplug(int device) { d_->slots.at(std::size_t(device))->request = 1; }
void Service::request_replug(int device) { d_->slots.at(std::size_t(device))->request = 2; }
bool Service::plugged(int device) const { return d_->slots.at(std::size_t(device))->plugged.load(); }

} // namespace orv::sim
