// SPDX-License-Identifier: MIT
// The driver layer below the handle operations: device enumeration and one open device. The
// Win32 driver talks to the bridge chip's kernel driver, the socket driver to a device service;
// tests install a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orblink {

// One open device. Every call is synchronous; false means the call failed. Reads and writes
// report the bytes that moved even when they fail.
class Connection {
public:
    virtual ~Connection() = default; // closes the device
    virtual bool control(uint32_t code, const void* in, uint32_t in_size, void* out,
                         uint32_t out_size, uint32_t* returned) = 0;
    virtual bool read(void* buffer, uint32_t count, uint32_t* got) = 0;
    virtual bool write(const void* buffer, uint32_t count, uint32_t* put) = 0;
    // Comm-style pass-through; synchronous drivers complete at once and ignore the record.
    virtual bool read_overlapped(void* buffer, uint32_t count, uint32_t* got, void* /*ov*/) {
        return read(buffer, count, got);
    }
    virtual bool write_overlapped(const void* buffer, uint32_t count, uint32_t* put,
                                  void* /*ov*/) {
        return write(buffer, count, put);
    }
    virtual bool overlapped_result(void* ov, uint32_t* transferred, bool wait) = 0;
    virtual bool cancel_io() { return true; }
};

struct DeviceRef {
    std::string path;
    uint32_t instance = 0; // device-instance number, 0 if unknown
};

enum class Lookup { Found, NoMore, Failed };

class Driver {
public:
    virtual ~Driver() = default;
    // The n-th present device interface. Failed covers an enumeration that cannot start and a
    // path that cannot be read.
    virtual Lookup find(uint32_t n, DeviceRef& out) = 0;
    // Number of present device interfaces; nothing if the enumeration cannot start.
    virtual std::optional<uint32_t> count() = 0;
    // Opens a device path exclusively; nullptr if it cannot be opened.
    virtual std::unique_ptr<Connection> open(const std::string& path) = 0;
};

// The driver of this platform (socket driver on Linux, Win32 driver on Windows).
Driver& platform_driver();
// The driver every operation uses.
Driver& active_driver();
// Test seam: route the library to another driver (nullptr restores the platform one).
void install_driver(Driver* driver);
// Test seam: the next n handle or list allocations fail.
void fail_allocations(int n);

} // namespace orblink
