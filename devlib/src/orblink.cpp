// SPDX-License-Identifier: MIT
// The exported operations: handle check, argument check, one driver request each.
#include "handle.h"

#include <cstdlib>
#include <cstring>

using namespace orblink;

namespace {

void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The fixed-size requests: handle check, one request, 4 on failure.
OB_STATUS simple(OB_HANDLE h, uint32_t nominal, const void* in = nullptr, uint32_t in_size = 0,
                 void* out = nullptr, uint32_t out_size = 0) {
    if (!is_open(h)) return OB_BAD_HANDLE;
    return send_request(h, nominal, in, in_size, out, out_size) ? OB_SUCCESS : OB_REQUEST_FAILED;
}

OB_STATUS word_request(OB_HANDLE h, uint32_t nominal, uint32_t value) {
    uint8_t in[4];
    put32(in, value);
    return simple(h, nominal, in, sizeof in);
}

constexpr uint32_t kIdentityRequest[] = {0x22009C, 0x2200A0, 0x2200A4};
constexpr uint32_t kIdentitySize = OB_IDENTITY_TEXT_SIZE;

// Identity kinds: 2 second text, 4 number, anything else the first text.
uint32_t identity_code(uint32_t kind) {
    return kind == OB_IDENTITY_TEXT2    ? kIdentityRequest[1]
           : kind == OB_IDENTITY_NUMBER ? kIdentityRequest[2]
                                        : kIdentityRequest[0];
}

bool query_identity(OB_HANDLE h, uint32_t kind, uint8_t reply[kIdentitySize]) {
    std::memset(reply, 0, kIdentitySize);
    if (!send_request(h, identity_code(kind), reply, kIdentitySize, reply, kIdentitySize))
        return false;
    reply[kIdentitySize - 1] = 0; // a text without terminator ends here
    return true;
}

// Byte by byte including the terminator; never reads the caller's text past its terminator.
bool same_text(const char* wanted, const uint8_t* reply) {
    for (uint32_t i = 0; i < kIdentitySize; ++i) {
        if (uint8_t(wanted[i]) != reply[i]) return false;
        if (reply[i] == 0) return true;
    }
    return false;
}

bool identity_matches(const void* identity, uint32_t kind, const uint8_t* reply) {
    if (kind == OB_IDENTITY_NUMBER) {
        uint32_t wanted;
        std::memcpy(&wanted, identity, sizeof wanted);
        return get32(reply) == wanted;
    }
    return same_text(static_cast<const char*>(identity), reply);
}

OB_DEVICE_LIST_ENTRY* g_list = nullptr;
uint32_t g_list_count = 0;

void free_list() {
    std::free(g_list);
    g_list = nullptr;
    g_list_count = 0;
}

void copy_handle_data(OB_HANDLE h, OB_DEVICE_LIST_ENTRY& e) {
    e.type = uint32_t(h->chip_type);
    e.id = uint32_t(h->device_id);
    std::memcpy(e.serial, h->info, sizeof e.serial);
    std::memcpy(e.description, h->info + sizeof e.serial, sizeof e.description);
}

} // namespace

static_assert(sizeof(OB_DEVICE_LIST_ENTRY) == 104);
static_assert(sizeof(OB_COMM_STATE) == 28);
static_assert(sizeof(OB_COMM_TIMEOUTS) == 20);
static_assert(sizeof(OB_COMM_STATUS) == 16);

extern "C" {

OB_API OB_STATUS OB_CALL OB_OpenIndex(uint32_t index, OB_HANDLE* handle) {
    if (!handle) return OB_BAD_ARGUMENT;
    return open_by_index(index, handle);
}

OB_API OB_STATUS OB_CALL OB_CloseDevice(OB_HANDLE handle) { return close_handle(handle); }

OB_API OB_STATUS OB_CALL OB_ReadData(OB_HANDLE handle, void* buffer, uint32_t count,
                                     uint32_t* got) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!got || (!buffer && count)) return OB_BAD_ARGUMENT;
    uint32_t n = 0;
    const bool ok = handle->device->read(buffer, count, &n);
    *got = n > count ? count : n;
    return ok || *got > 0 ? OB_SUCCESS : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_WriteData(OB_HANDLE handle, const void* buffer, uint32_t count,
                                      uint32_t* put) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!put || (!buffer && count)) return OB_BAD_ARGUMENT;
    uint32_t n = 0;
    const bool ok = handle->device->write(buffer, count, &n);
    *put = n > count ? count : n;
    return ok || *put > 0 ? OB_SUCCESS : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_DeviceRequest(OB_HANDLE handle, uint32_t nominal_code,
                                          const void* in, uint32_t in_size, void* out,
                                          uint32_t out_size, uint32_t* returned) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (nominal_code < kNominalBase || (nominal_code - kNominalBase) % 4 != 0 ||
        (nominal_code - kNominalBase) / 4 >= kRequestCount)
        return OB_BAD_ARGUMENT;
    if ((!in && in_size) || (!out && out_size)) return OB_BAD_ARGUMENT;
    return send_request(handle, nominal_code, in, in_size, out, out_size, returned)
               ? OB_SUCCESS
               : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_ResetPort(OB_HANDLE handle) { return simple(handle, 0x220004); }

OB_API OB_STATUS OB_CALL OB_SetLineSpeed(OB_HANDLE handle, uint32_t baud) {
    const OB_STATUS s = word_request(handle, 0x220104, baud);
    return s == OB_REQUEST_FAILED ? OB_SPEED_REFUSED : s;
}

OB_API OB_STATUS OB_CALL OB_SetFraming(OB_HANDLE handle, uint32_t word_length,
                                       uint32_t stop_bits, uint32_t parity) {
    const uint8_t in[3] = {uint8_t(stop_bits), uint8_t(parity), uint8_t(word_length)};
    return simple(handle, 0x22010C, in, sizeof in);
}

OB_API OB_STATUS OB_CALL OB_SetHandshake(OB_HANDLE handle, uint32_t mode, uint32_t xon,
                                         uint32_t xoff) {
    const uint8_t in[4] = {uint8_t(mode), uint8_t(mode >> 8), uint8_t(xon), uint8_t(xoff)};
    return simple(handle, 0x220164, in, sizeof in);
}

OB_API OB_STATUS OB_CALL OB_AssertDtr(OB_HANDLE handle) { return simple(handle, 0x220124); }
OB_API OB_STATUS OB_CALL OB_ReleaseDtr(OB_HANDLE handle) { return simple(handle, 0x220128); }
OB_API OB_STATUS OB_CALL OB_AssertRts(OB_HANDLE handle) { return simple(handle, 0x220130); }
OB_API OB_STATUS OB_CALL OB_ReleaseRts(OB_HANDLE handle) { return simple(handle, 0x220134); }

OB_API OB_STATUS OB_CALL OB_GetLineState(OB_HANDLE handle, uint32_t* state) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!state) return OB_BAD_ARGUMENT;
    uint8_t in[4], out[4];
    put32(in, *state);
    if (!send_request(handle, 0x220168, in, sizeof in, out, sizeof out)) return OB_REQUEST_FAILED;
    *state = get32(out);
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_SetSpecialChars(OB_HANDLE handle, uint32_t event_char,
                                            uint32_t event_enable, uint32_t error_char,
                                            uint32_t error_enable) {
    const uint8_t in[4] = {uint8_t(event_char), uint8_t(event_enable), uint8_t(error_char),
                           uint8_t(error_enable)};
    return simple(handle, 0x22015C, in, sizeof in);
}

OB_API OB_STATUS OB_CALL OB_PurgeBuffers(OB_HANDLE handle, uint32_t mask) {
    return word_request(handle, 0x22014C, mask);
}

OB_API OB_STATUS OB_CALL OB_SetIoTimeouts(OB_HANDLE handle, uint32_t read_ms, uint32_t write_ms) {
    uint8_t in[8];
    put32(in, read_ms);
    put32(in + 4, write_ms);
    return simple(handle, 0x22011C, in, sizeof in);
}

OB_API OB_STATUS OB_CALL OB_SetNotification(OB_HANDLE handle, uint32_t mask,
                                            uintptr_t parameter) {
    uint8_t in[16];
    put32(in, uint32_t(reinterpret_cast<uintptr_t>(handle)));
    put32(in + 4, mask);
    put32(in + 8, uint32_t(uint64_t(parameter)));
    put32(in + 12, uint32_t(uint64_t(parameter) >> 32));
    return simple(handle, 0x22008C, in, sizeof in);
}

OB_API OB_STATUS OB_CALL OB_GetQueueStatus(OB_HANDLE handle, uint32_t* rx_bytes,
                                           uint32_t* tx_bytes, uint32_t* event_status) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!rx_bytes || !tx_bytes || !event_status) return OB_BAD_ARGUMENT;
    uint8_t buf[12] = {};
    if (!send_request(handle, 0x220094, buf, sizeof buf, buf, sizeof buf))
        return OB_REQUEST_FAILED;
    *rx_bytes = get32(buf);
    *tx_bytes = get32(buf + 4);
    *event_status = get32(buf + 8);
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_OpenByIdentity(const void* identity, uint32_t kind,
                                           OB_HANDLE* handle) {
    if (!identity || !handle) return OB_BAD_ARGUMENT;
    if (kind != OB_IDENTITY_TEXT1 && kind != OB_IDENTITY_TEXT2 && kind != OB_IDENTITY_NUMBER)
        return OB_BAD_ARGUMENT;
    const auto count = active_driver().count();
    if (!count || *count == 0) return OB_NO_SUCH_DEVICE;
    for (uint32_t i = 0; i < *count; ++i) {
        OB_HANDLE h = nullptr;
        const OB_STATUS s = open_by_index(i, &h);
        if (s == OB_OUT_OF_MEMORY) return s;
        if (s != OB_SUCCESS) continue; // gone since counting, or in use elsewhere
        uint8_t reply[kIdentitySize];
        if (query_identity(h, kind, reply) && identity_matches(identity, kind, reply)) {
            h->open_flags = int32_t(kind);
            uint8_t info[kDeviceInfoSize];
            if (query_device_info(h, info)) {
                h->chip_type = chip_type_of(get32(info + 4));
                h->chip_type_copy = h->chip_type;
            }
            *handle = h;
            return OB_SUCCESS;
        }
        close_handle(h);
    }
    return OB_NO_SUCH_DEVICE;
}

OB_API OB_STATUS OB_CALL OB_CountDevices(uint32_t* count) {
    if (!count) return OB_BAD_ARGUMENT;
    const auto n = active_driver().count();
    if (!n) return OB_NO_SUCH_DEVICE;
    *count = *n;
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_IdentityOf(uint32_t index, uint32_t kind, void* out,
                                       uint32_t out_size) {
    if (!out) return OB_BAD_ARGUMENT;
    if (kind == OB_IDENTITY_NUMBER && out_size < 4) return OB_BAD_ARGUMENT;
    OB_HANDLE h = nullptr;
    const OB_STATUS s = open_by_index(index, &h);
    if (s != OB_SUCCESS) return s;
    uint8_t reply[kIdentitySize];
    const bool ok = query_identity(h, kind, reply);
    close_handle(h);
    if (!ok) return OB_REQUEST_FAILED;
    if (kind == OB_IDENTITY_NUMBER) {
        const uint32_t number = get32(reply);
        std::memcpy(out, &number, sizeof number);
        return OB_SUCCESS;
    }
    const std::size_t size = std::strlen(reinterpret_cast<const char*>(reply)) + 1;
    if (size > out_size) return OB_BAD_ARGUMENT;
    std::memcpy(out, reply, size);
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_IdentityOfAll(uint32_t kind, void* out, uint32_t capacity,
                                          uint32_t* count) {
    if (!count || (!out && capacity)) return OB_BAD_ARGUMENT;
    *count = 0;
    const auto n = active_driver().count();
    if (!n) return OB_NO_SUCH_DEVICE;
    uint32_t stored = 0;
    for (uint32_t i = 0; i < *n && stored < capacity; ++i) {
        OB_HANDLE h = nullptr;
        if (open_by_index(i, &h) != OB_SUCCESS) continue;
        uint8_t reply[kIdentitySize];
        const bool ok = query_identity(h, kind, reply);
        close_handle(h);
        if (!ok) continue;
        if (kind == OB_IDENTITY_NUMBER) {
            const uint32_t number = get32(reply);
            std::memcpy(static_cast<uint32_t*>(out) + stored, &number, sizeof number);
        } else {
            char* dst = static_cast<char* const*>(out)[stored];
            if (!dst) return OB_BAD_ARGUMENT;
            std::memcpy(dst, reply, kIdentitySize);
        }
        ++stored;
    }
    *count = stored;
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_BuildDeviceList(uint32_t* count) {
    if (!count) return OB_BAD_ARGUMENT;
    free_list();
    const auto n = active_driver().count();
    if (!n) return OB_NO_SUCH_DEVICE;
    if (*n > 0) {
        g_list = static_cast<OB_DEVICE_LIST_ENTRY*>(
            alloc_zeroed(std::size_t(*n) * sizeof(OB_DEVICE_LIST_ENTRY)));
        if (!g_list) return OB_OUT_OF_MEMORY;
    }
    g_list_count = *n;
    for (uint32_t i = 0; i < *n; ++i) {
        OB_DEVICE_LIST_ENTRY& e = g_list[i];
        OB_HANDLE h = nullptr;
        uint32_t instance = 0;
        if (open_by_index(i, &h, &instance) != OB_SUCCESS) {
            if (instance == 0) continue; // unknown instance: never take another device's data
            for (OB_DEVICE_RECORD* r = open_handles(); r; r = r->next) {
                if (r->dev_inst != instance) continue;
                copy_handle_data(r, e);
                e.flags = OB_DEVICE_OPEN_HERE;
                e.handle = uint64_t(reinterpret_cast<uintptr_t>(r));
                break;
            }
            continue;
        }
        copy_handle_data(h, e);
        uint8_t reply[kIdentitySize];
        if (query_identity(h, OB_IDENTITY_NUMBER, reply)) e.identity_number = get32(reply);
        close_handle(h);
    }
    *count = g_list_count;
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_GetDeviceListEntry(uint32_t index, OB_DEVICE_LIST_ENTRY* entry) {
    if (!entry) return OB_BAD_ARGUMENT;
    if (index >= g_list_count) return OB_NO_SUCH_DEVICE;
    *entry = g_list[index];
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_FreeDeviceList(void) {
    free_list();
    return OB_SUCCESS;
}

OB_API OB_STATUS OB_CALL OB_GetDeviceInfo(OB_HANDLE handle, uint32_t* type, uint32_t* id,
                                          char* serial, char* description, uint32_t* extra) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    uint8_t reply[kDeviceInfoSize];
    if (!query_device_info(handle, reply)) return OB_REQUEST_FAILED;
    reply[39] = 0;
    reply[103] = 0;
    if (type) *type = uint32_t(chip_type_of(get32(reply + 4)));
    if (id) *id = get32(reply + 8);
    if (serial) std::memcpy(serial, reply + 24, 16);
    if (description) std::memcpy(description, reply + 40, 64);
    if (extra) *extra = get32(reply + 16);
    return OB_SUCCESS;
}

OB_API uint32_t OB_CALL OB_GetLibraryVersion(void) { return 0x030107; }

OB_API OB_STATUS OB_CALL OB_CommRead(OB_HANDLE handle, void* buffer, uint32_t count,
                                     uint32_t* got, void* overlapped) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!got || (!buffer && count)) return OB_BAD_ARGUMENT;
    uint32_t n = 0;
    const bool ok = handle->device->read_overlapped(buffer, count, &n, overlapped);
    *got = n > count ? count : n;
    return ok || *got > 0 ? OB_SUCCESS : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_CommWrite(OB_HANDLE handle, const void* buffer, uint32_t count,
                                      uint32_t* put, void* overlapped) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!put || (!buffer && count)) return OB_BAD_ARGUMENT;
    uint32_t n = 0;
    const bool ok = handle->device->write_overlapped(buffer, count, &n, overlapped);
    *put = n > count ? count : n;
    return ok || *put > 0 ? OB_SUCCESS : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_CommGetOverlappedResult(OB_HANDLE handle, void* overlapped,
                                                    uint32_t* transferred, uint32_t wait) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!transferred) return OB_BAD_ARGUMENT;
    return handle->device->overlapped_result(overlapped, transferred, wait != 0)
               ? OB_SUCCESS
               : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_CommCancelIo(OB_HANDLE handle) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    return handle->device->cancel_io() ? OB_SUCCESS : OB_REQUEST_FAILED;
}

OB_API OB_STATUS OB_CALL OB_CommSetBreak(OB_HANDLE handle) { return simple(handle, 0x220110); }
OB_API OB_STATUS OB_CALL OB_CommClearBreak(OB_HANDLE handle) { return simple(handle, 0x220114); }

OB_API OB_STATUS OB_CALL OB_CommEscape(OB_HANDLE handle, uint32_t function) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    switch (function) {
    case OB_ESCAPE_SETRTS: return simple(handle, 0x220130);
    case OB_ESCAPE_CLRRTS: return simple(handle, 0x220134);
    case OB_ESCAPE_SETDTR: return simple(handle, 0x220124);
    case OB_ESCAPE_CLRDTR: return simple(handle, 0x220128);
    case OB_ESCAPE_SETBREAK: return simple(handle, 0x220110);
    case OB_ESCAPE_CLRBREAK: return simple(handle, 0x220114);
    default: return OB_BAD_ARGUMENT;
    }
}

OB_API OB_STATUS OB_CALL OB_CommSetState(OB_HANDLE handle, const OB_COMM_STATE* state) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!state || state->size != sizeof(OB_COMM_STATE)) return OB_BAD_ARGUMENT;
    OB_STATUS s = OB_SetLineSpeed(handle, state->baud);
    if (s == OB_SUCCESS) s = OB_SetFraming(handle, state->word_length, state->stop_bits, state->parity);
    if (s == OB_SUCCESS) {
        const bool chars = state->handshake == OB_HANDSHAKE_XON_XOFF;
        s = OB_SetHandshake(handle, state->handshake, chars ? state->xon_char : 0,
                            chars ? state->xoff_char : 0);
    }
    if (s == OB_SUCCESS)
        s = OB_SetSpecialChars(handle, state->event_char, state->event_enable, state->error_char,
                               state->error_enable);
    return s;
}

OB_API OB_STATUS OB_CALL OB_CommSetTimeouts(OB_HANDLE handle, const OB_COMM_TIMEOUTS* timeouts) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!timeouts) return OB_BAD_ARGUMENT;
    uint8_t in[20];
    put32(in, timeouts->read_interval);
    put32(in + 4, timeouts->read_multiplier);
    put32(in + 8, timeouts->read_constant);
    put32(in + 12, timeouts->write_multiplier);
    put32(in + 16, timeouts->write_constant);
    return simple(handle, 0x22011C, in, sizeof in);
}

OB_API OB_STATUS OB_CALL OB_CommPurge(OB_HANDLE handle, uint32_t flags) {
    uint32_t mask = 0;
    if (flags & (OB_COMM_PURGE_RXABORT | OB_COMM_PURGE_RXCLEAR)) mask |= OB_PURGE_RX;
    if (flags & (OB_COMM_PURGE_TXABORT | OB_COMM_PURGE_TXCLEAR)) mask |= OB_PURGE_TX;
    return OB_PurgeBuffers(handle, mask);
}

OB_API OB_STATUS OB_CALL OB_CommGetModemStatus(OB_HANDLE handle, uint32_t* status) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!status) return OB_BAD_ARGUMENT;
    uint32_t state = 0;
    const OB_STATUS s = OB_GetLineState(handle, &state);
    if (s == OB_SUCCESS) *status = state;
    return s;
}

OB_API OB_STATUS OB_CALL OB_CommGetStatus(OB_HANDLE handle, OB_COMM_STATUS* status) {
    if (!is_open(handle)) return OB_BAD_HANDLE;
    if (!status) return OB_BAD_ARGUMENT;
    OB_COMM_STATUS st{};
    const OB_STATUS s = OB_GetQueueStatus(handle, &st.rx_queue, &st.tx_queue, &st.event_status);
    if (s == OB_SUCCESS) *status = st;
    return s;
}

} // extern "C"
