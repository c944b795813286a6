// SPDX-License-Identifier: MIT
#include "handle.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace orblink {
namespace {

template <uint32_t Base> constexpr std::array<uint32_t, kRequestCount> make_table() {
    std::array<uint32_t, kRequestCount> t{};
    for (uint32_t i = 0; i < kRequestCount; ++i) t[i] = Base + 4 * i;
    return t;
}
// The two driver generations number their requests from different function bases.
constexpr auto kTable1 = make_table<0x220000>();
constexpr auto kTable2 = make_table<0x220800>();

OB_DEVICE_RECORD* g_head = nullptr;
Driver* g_installed = nullptr;
int g_failing_allocations = 0;

uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Stores type, ID and texts from a device-information reply (zeros when the query failed).
void store_device_info(OB_HANDLE h, const uint8_t* reply) {
    h->chip_type = chip_type_of(get32(reply + 4));
    h->chip_type_copy = h->chip_type;
    h->device_id = int32_t(get32(reply + 8));
    std::memcpy(h->info, reply + 24, sizeof h->info);
    h->info[15] = 0;
    h->info[79] = 0;
}

} // namespace

const uint32_t* request_table(int generation) {
    return generation == 2 ? kTable2.data() : kTable1.data();
}

Driver& active_driver() { return g_installed ? *g_installed : platform_driver(); }
void install_driver(Driver* driver) { g_installed = driver; }
void fail_allocations(int n) { g_failing_allocations = n; }

void* alloc_zeroed(std::size_t size) {
    if (g_failing_allocations > 0) {
        --g_failing_allocations;
        return nullptr;
    }
    return std::calloc(1, size);
}

OB_DEVICE_RECORD* open_handles() { return g_head; }

bool is_open(OB_HANDLE h) {
    if (!h) return false;
    for (OB_DEVICE_RECORD* r = g_head; r; r = r->next)
        if (r == h) return true;
    return false;
}

int32_t chip_type_of(uint32_t chip_code) {
    switch (chip_code) {
    case 0x40360011: return 0;
    case 0x40360010: return 1;
    case 0x40383720: return 2;
    case 0x40360100: return 4;
    case 0x40360012: return 5;
    default: return 3;
    }
}

bool send_request(OB_HANDLE h, uint32_t nominal, const void* in, uint32_t in_size, void* out,
                  uint32_t out_size, uint32_t* returned) {
    if (returned) *returned = 0;
    const uint32_t index = (nominal >> 2) & 0xFFF;
    if (index >= kRequestCount || !h->request_table) return false;
    uint32_t filled = 0;
    const bool ok =
        h->device->control(h->request_table[index], in, in_size, out, out_size, &filled);
    if (filled > out_size) filled = out_size;
    if (out && filled < out_size)
        std::memset(static_cast<uint8_t*>(out) + filled, 0, out_size - filled);
    if (returned) *returned = filled;
    return ok;
}

bool query_device_info(OB_HANDLE h, uint8_t reply[kDeviceInfoSize]) {
    std::memset(reply, 0, kDeviceInfoSize);
    reply[0] = 17;
    // One buffer serves as input and output, as the driver expects.
    if (!send_request(h, kDeviceInfoCode, reply, kDeviceInfoSize, reply, kDeviceInfoSize))
        return false;
    return get32(reply) == 0;
}

OB_STATUS open_by_index(uint32_t n, OB_HANDLE* out, uint32_t* instance) {
    if (instance) *instance = 0;
    Driver& driver = active_driver();
    DeviceRef ref;
    if (driver.find(n, ref) != Lookup::Found) return OB_NO_SUCH_DEVICE;
    if (instance) *instance = ref.instance;

    char* detail = static_cast<char*>(alloc_zeroed(ref.path.size() + 1));
    if (!detail) return OB_OUT_OF_MEMORY;
    std::memcpy(detail, ref.path.c_str(), ref.path.size() + 1);

    std::unique_ptr<Connection> device = driver.open(ref.path);
    if (!device) {
        std::free(detail);
        return OB_BAD_HANDLE;
    }
    auto* h = static_cast<OB_DEVICE_RECORD*>(alloc_zeroed(sizeof(OB_DEVICE_RECORD)));
    if (!h) {
        std::free(detail);
        return OB_OUT_OF_MEMORY;
    }
    h->next = g_head;
    g_head = h;
    h->device = device.release();
    h->path_detail = detail;
    h->dev_inst = ref.instance;
    h->request_table = kTable1.data();
    h->self = h;

    uint8_t reply[kDeviceInfoSize];
    if (!query_device_info(h, reply)) {
        h->request_table = kTable2.data();
        if (!query_device_info(h, reply)) std::memset(reply, 0, sizeof reply);
    }
    store_device_info(h, reply);
    *out = h;
    return OB_SUCCESS;
}

OB_STATUS close_handle(OB_HANDLE h) {
    OB_DEVICE_RECORD** link = &g_head;
    while (*link && *link != h) link = &(*link)->next;
    if (!*link) return OB_BAD_HANDLE;
    delete h->device;
    std::free(h->path_detail);
    *link = h->next;
    std::free(h);
    return OB_SUCCESS;
}

} // namespace orblink
