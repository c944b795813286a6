// SPDX-License-Identifier: MIT
// Windows driver layer: the bridge chip's kernel driver through its device-interface class.
#include "driver.h"

#include <cstdlib>

#include <windows.h>
#include <setupapi.h>

namespace orblink {
namespace {

const GUID kInterfaceClass = {
    0x219D0508, 0x57A8, 0x4FF5, {0x97, 0xA1, 0xBD, 0x86, 0x58, 0x7C, 0x6C, 0x7E}};

// SetupDi insists on the packed size of the detail record's fixed part.
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == (sizeof(void*) == 8 ? 8 : 5));

// One enumeration; the list is destroyed on every path out.
class Enumeration {
public:
    Enumeration()
        : list_(SetupDiGetClassDevsA(&kInterfaceClass, nullptr, nullptr,
                                     DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
    ~Enumeration() {
        if (ok()) SetupDiDestroyDeviceInfoList(list_);
    }
    Enumeration(const Enumeration&) = delete;
    Enumeration& operator=(const Enumeration&) = delete;
    bool ok() const { return list_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return list_; }

private:
    HDEVINFO list_;
};

class Win32Connection final : public Connection {
public:
    explicit Win32Connection(HANDLE h) : h_(h) {}
    ~Win32Connection() override { CloseHandle(h_); }

    bool control(uint32_t code, const void* in, uint32_t in_size, void* out, uint32_t out_size,
                 uint32_t* returned) override {
        DWORD n = 0;
        const BOOL ok = DeviceIoControl(h_, code, const_cast<void*>(in), in_size, out, out_size,
                                        &n, nullptr);
        *returned = n;
        return ok != FALSE;
    }
    bool read(void* buffer, uint32_t count, uint32_t* got) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(h_, buffer, count, &n, nullptr);
        *got = n;
        return ok != FALSE;
    }
    bool write(const void* buffer, uint32_t count, uint32_t* put) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(h_, buffer, count, &n, nullptr);
        *put = n;
        return ok != FALSE;
    }
    bool read_overlapped(void* buffer, uint32_t count, uint32_t* got, void* ov) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(h_, buffer, count, &n, static_cast<OVERLAPPED*>(ov));
        *got = n;
        return ok != FALSE;
    }
    bool write_overlapped(const void* buffer, uint32_t count, uint32_t* put, void* ov) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(h_, buffer, count, &n, static_cast<OVERLAPPED*>(ov));
        *put = n;
        return ok != FALSE;
    }
    bool overlapped_result(void* ov, uint32_t* transferred, bool wait) override {
        DWORD n = 0;
        if (!ov) return false;
        const BOOL ok =
            GetOverlappedResult(h_, static_cast<OVERLAPPED*>(ov), &n, wait ? TRUE : FALSE);
        *transferred = n;
        return ok != FALSE;
    }
    bool cancel_io() override { return CancelIo(h_) != FALSE; }

private:
    HANDLE h_;
};

class Win32Driver final : public Driver {
public:
    Lookup find(uint32_t n, DeviceRef& out) override {
        Enumeration e;
        if (!e.ok()) return Lookup::Failed;
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        if (!SetupDiEnumDeviceInterfaces(e.get(), nullptr, &kInterfaceClass, n, &iface))
            return GetLastError() == ERROR_NO_MORE_ITEMS ? Lookup::NoMore : Lookup::Failed;
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(e.get(), &iface, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return Lookup::Failed;
        auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(std::calloc(1, size));
        if (!detail) return Lookup::Failed;
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        const BOOL ok =
            SetupDiGetDeviceInterfaceDetailA(e.get(), &iface, detail, size, nullptr, nullptr);
        if (ok) out.path = detail->DevicePath;
        std::free(detail);
        if (!ok) return Lookup::Failed;
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        out.instance = SetupDiEnumDeviceInfo(e.get(), n, &info) ? uint32_t(info.DevInst) : 0;
        return Lookup::Found;
    }

    std::optional<uint32_t> count() override {
        Enumeration e;
        if (!e.ok()) return std::nullopt;
        uint32_t n = 0;
        for (;; ++n) {
            SP_DEVICE_INTERFACE_DATA iface{};
            iface.cbSize = sizeof iface;
            if (!SetupDiEnumDeviceInterfaces(e.get(), nullptr, &kInterfaceClass, n, &iface))
                break; // 259 (no more items) ends the list; any other error ends it too
        }
        return n;
    }

    std::unique_ptr<Connection> open(const std::string& path) override {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Connection>(h);
    }
};

} // namespace

Driver& platform_driver() {
    static Win32Driver driver;
    return driver;
}

} // namespace orblink
