// SPDX-License-Identifier: MIT
// An in-process driver for the library's tests: scripted devices of either driver generation,
// devices that vanish or refuse, requests that fail, and a log of everything the library sent.
#pragma once

#include "devlib/src/driver.h"
#include "devlib/src/handle.h"
#include "orblink_wire.h"

#include <cstring>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace orblink::testing {

struct FakeDevice {
    std::string path;
    uint32_t instance = 0;
    int generation = 1;            // request table the driver understands
    bool info_status_fails = false; // device-information reply carries a nonzero status word
    uint32_t chip_code = 0x40360011;
    uint32_t device_id = 0x1234;
    std::string serial = "SN";
    std::string description = "Scope";
    std::string identity1, identity2;
    uint32_t identity_number = 0;

    bool present = true;
    bool in_use = false;       // another program has it open
    bool open = false;         // opened through the fake
    std::set<uint32_t> failing; // nominal indices whose requests fail
    std::deque<uint8_t> rx;    // what a read returns
    std::vector<uint8_t> tx;   // what writes delivered
    bool read_fails = false, write_fails = false;
    uint32_t write_limit = UINT32_MAX; // bytes a write takes before it fails / times out

    struct Request {
        uint32_t code;
        std::vector<uint8_t> in;
    };
    std::vector<Request> requests;
};

class FakeDriver final : public Driver {
public:
    std::deque<FakeDevice> devices; // references stay valid as devices are added
    int calls = 0;                      // every entry into the driver or a connection
    std::function<void()> after_count;  // runs after count(), e.g. to unplug a device

    FakeDevice& add(std::string name, uint32_t instance = 0) {
        FakeDevice d;
        d.path = "fake/" + name;
        d.instance = instance;
        d.identity1 = name;
        devices.push_back(d);
        return devices.back();
    }

    Lookup find(uint32_t n, DeviceRef& out) override {
        ++calls;
        uint32_t i = 0;
        for (auto& d : devices) {
            if (!d.present) continue;
            if (i++ == n) {
                out = DeviceRef{d.path, d.instance};
                return Lookup::Found;
            }
        }
        return Lookup::NoMore;
    }

    std::optional<uint32_t> count() override {
        ++calls;
        uint32_t n = 0;
        for (auto& d : devices) n += d.present ? 1 : 0;
        if (after_count) after_count();
        return n;
    }

    std::unique_ptr<Connection> open(const std::string& path) override;

    FakeDevice* by_path(const std::string& path) {
        for (auto& d : devices)
            if (d.path == path) return &d;
        return nullptr;
    }
};

class FakeConnection final : public Connection {
public:
    FakeConnection(FakeDriver& driver, std::string path) : driver_(driver), path_(std::move(path)) {}
    ~FakeConnection() override {
        if (FakeDevice* d = driver_.by_path(path_)) d->open = false;
    }

    bool control(uint32_t code, const void* in, uint32_t in_size, void* out, uint32_t out_size,
                 uint32_t* returned) override {
        ++driver_.calls;
        *returned = 0;
        FakeDevice* d = device();
        if (!d) return false;
        const auto* bytes = static_cast<const uint8_t*>(in);
        d->requests.push_back({code, std::vector<uint8_t>(bytes, bytes + (in ? in_size : 0))});
        auto index = wire::request_index(d->generation, code);
        if (!index || d->failing.count(*index)) return false;
        std::vector<uint8_t> reply;
        if (*index == wire::kDeviceInfo) {
            wire::DeviceInfo info;
            info.status = d->info_status_fails ? 1 : 0;
            info.chip_code = d->chip_code;
            info.device_id = d->device_id;
            info.extra = 0xE0E0;
            std::strncpy(info.serial, d->serial.c_str(), sizeof info.serial - 1);
            std::strncpy(info.description, d->description.c_str(), sizeof info.description - 1);
            reply.resize(wire::kDeviceInfoSize);
            wire::encode_device_info(info, reply.data());
        } else if (*index == wire::kIdentityText1 || *index == wire::kIdentityText2) {
            const std::string& t = *index == wire::kIdentityText1 ? d->identity1 : d->identity2;
            reply.assign(t.begin(), t.end());
            reply.push_back(0);
        } else if (*index == wire::kIdentityNumber) {
            for (int i = 0; i < 4; ++i) reply.push_back(uint8_t(d->identity_number >> (8 * i)));
        } else if (*index == wire::kGetQueueStatus) {
            const uint32_t words[3] = {uint32_t(d->rx.size()), 7, 9};
            reply.resize(12);
            std::memcpy(reply.data(), words, 12);
        } else if (*index == wire::kGetLineState) {
            reply = {0x30, 0, 0, 0};
        }
        const uint32_t n = std::min<uint32_t>(uint32_t(reply.size()), out_size);
        if (n) std::memcpy(out, reply.data(), n);
        *returned = n;
        return true;
    }

    bool read(void* buffer, uint32_t count, uint32_t* got) override {
        ++driver_.calls;
        *got = 0;
        FakeDevice* d = device();
        if (!d) return false;
        auto* p = static_cast<uint8_t*>(buffer);
        while (*got < count && !d->rx.empty()) {
            p[(*got)++] = d->rx.front();
            d->rx.pop_front();
        }
        return !d->read_fails;
    }

    bool write(const void* buffer, uint32_t count, uint32_t* put) override {
        ++driver_.calls;
        *put = 0;
        FakeDevice* d = device();
        if (!d) return false;
        const auto* p = static_cast<const uint8_t*>(buffer);
        *put = std::min(count, d->write_limit);
        d->tx.insert(d->tx.end(), p, p + *put);
        return !d->write_fails;
    }

    bool overlapped_result(void*, uint32_t* transferred, bool) override {
        ++driver_.calls;
        *transferred = 0;
        return true;
    }

private:
    // An unplugged device fails every request.
    FakeDevice* device() {
        FakeDevice* d = driver_.by_path(path_);
        return d && d->present ? d : nullptr;
    }
    FakeDriver& driver_;
    std::string path_;
};

inline std::unique_ptr<Connection> FakeDriver::open(const std::string& path) {
    ++calls;
    FakeDevice* d = by_path(path);
    if (!d || !d->present || d->in_use || d->open) return nullptr;
    d->open = true;
    return std::make_unique<FakeConnection>(*this, path);
}

// Nominal index of a request as the fake device saw it.
inline uint32_t nominal_index(const FakeDevice& d, const FakeDevice::Request& r) {
    return wire::request_index(d.generation, r.code).value_or(UINT32_MAX);
}

// Closes whatever a test left open, so each test starts with an empty handle list.
inline void close_all_handles() {
    while (OB_HANDLE h = open_handles()) close_handle(h);
    OB_FreeDeviceList();
}

} // namespace orblink::testing
