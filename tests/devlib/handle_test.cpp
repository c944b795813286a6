// SPDX-License-Identifier: MIT
// The handle operations against the in-process fake driver.
#include "fake_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace orblink;
using namespace orblink::testing;

namespace {

class Orblink : public ::testing::Test {
protected:
    void SetUp() override { install_driver(&driver); }
    void TearDown() override {
        close_all_handles();
        install_driver(nullptr);
        fail_allocations(0);
    }

    OB_HANDLE open(uint32_t index) {
        OB_HANDLE h = nullptr;
        EXPECT_EQ(OB_OpenIndex(index, &h), OB_SUCCESS);
        return h;
    }

    FakeDriver driver;
};

std::vector<uint8_t> le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

TEST_F(Orblink, OpenFillsTheRecordAndCloseRemovesIt) {
    FakeDevice& d = driver.add("dev0", 77);
    d.chip_code = 0x40383720;
    d.serial = "RT123";
    d.description = "RTM5800 scope";
    driver.add("dev1");

    OB_HANDLE h = open(0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->self, h);
    EXPECT_EQ(h->chip_type, 2);
    EXPECT_EQ(h->chip_type_copy, 2);
    EXPECT_EQ(h->device_id, 0x1234);
    EXPECT_EQ(h->dev_inst, 77u);
    EXPECT_EQ(h->open_flags, 0);
    EXPECT_STREQ(h->path_detail, "fake/dev0");
    EXPECT_STREQ(reinterpret_cast<char*>(h->info), "RT123");
    EXPECT_STREQ(reinterpret_cast<char*>(h->info + 16), "RTM5800 scope");
    EXPECT_EQ(h->request_table, request_table(1));

    OB_HANDLE h1 = open(1);
    EXPECT_EQ(open_handles(), h1) << "newest first";
    EXPECT_EQ(h1->next, h);

    EXPECT_EQ(OB_CloseDevice(h), OB_SUCCESS);
    EXPECT_FALSE(d.open);
    EXPECT_EQ(OB_CloseDevice(h), OB_BAD_HANDLE) << "second close";
    EXPECT_EQ(open_handles(), h1);
    EXPECT_EQ(OB_CloseDevice(h1), OB_SUCCESS);
    EXPECT_EQ(open_handles(), nullptr);
}

TEST_F(Orblink, OpenIndexStatuses) {
    driver.add("dev0");
    driver.add("dev1").in_use = true;
    OB_HANDLE h = nullptr;
    EXPECT_EQ(OB_OpenIndex(2, &h), OB_NO_SUCH_DEVICE) << "index = count";
    EXPECT_EQ(OB_OpenIndex(1, &h), OB_BAD_HANDLE) << "opened by another program";
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(OB_OpenIndex(0, nullptr), OB_BAD_ARGUMENT);

    fail_allocations(1);
    EXPECT_EQ(OB_OpenIndex(0, &h), OB_OUT_OF_MEMORY);
    EXPECT_FALSE(driver.devices[0].open) << "nothing left open after a failed open";
    EXPECT_EQ(open_handles(), nullptr);
    fail_allocations(2);
    EXPECT_EQ(OB_OpenIndex(0, &h), OB_OUT_OF_MEMORY);
    EXPECT_FALSE(driver.devices[0].open);
}

TEST_F(Orblink, SecondProgramFallsThroughToTheNextDevice) {
    driver.add("dev0");
    driver.add("dev1");
    OB_HANDLE first = open(0);
    OB_HANDLE second = nullptr;
    EXPECT_EQ(OB_OpenIndex(0, &second), OB_BAD_HANDLE);
    EXPECT_EQ(OB_OpenIndex(1, &second), OB_SUCCESS);
    EXPECT_NE(first, second);
}

// Every operation that takes a handle, called with h and harmless arguments.
const std::vector<std::pair<const char*, std::function<OB_STATUS(OB_HANDLE)>>> kHandleOps = {
    {"CloseDevice", [](OB_HANDLE h) { return OB_CloseDevice(h); }},
    {"ReadData", [](OB_HANDLE h) { uint8_t b[4]; uint32_t n; return OB_ReadData(h, b, 4, &n); }},
    {"WriteData", [](OB_HANDLE h) { uint8_t b[4] = {}; uint32_t n; return OB_WriteData(h, b, 4, &n); }},
    {"DeviceRequest", [](OB_HANDLE h) { return OB_DeviceRequest(h, 0x220004, nullptr, 0, nullptr, 0, nullptr); }},
    {"ResetPort", [](OB_HANDLE h) { return OB_ResetPort(h); }},
    {"SetLineSpeed", [](OB_HANDLE h) { return OB_SetLineSpeed(h, 115200); }},
    {"SetFraming", [](OB_HANDLE h) { return OB_SetFraming(h, 8, 0, 0); }},
    {"SetHandshake", [](OB_HANDLE h) { return OB_SetHandshake(h, 0, 0, 0); }},
    {"AssertDtr", [](OB_HANDLE h) { return OB_AssertDtr(h); }},
    {"ReleaseDtr", [](OB_HANDLE h) { return OB_ReleaseDtr(h); }},
    {"AssertRts", [](OB_HANDLE h) { return OB_AssertRts(h); }},
    {"ReleaseRts", [](OB_HANDLE h) { return OB_ReleaseRts(h); }},
    {"GetLineState", [](OB_HANDLE h) { uint32_t s = 0; return OB_GetLineState(h, &s); }},
    {"SetSpecialChars", [](OB_HANDLE h) { return OB_SetSpecialChars(h, 0, 0, 0, 0); }},
    {"PurgeBuffers", [](OB_HANDLE h) { return OB_PurgeBuffers(h, 3); }},
    {"SetIoTimeouts", [](OB_HANDLE h) { return OB_SetIoTimeouts(h, 400, 400); }},
    {"SetNotification", [](OB_HANDLE h) { return OB_SetNotification(h, 0, 0); }},
    {"GetQueueStatus", [](OB_HANDLE h) { uint32_t a, b, c; return OB_GetQueueStatus(h, &a, &b, &c); }},
    {"GetDeviceInfo", [](OB_HANDLE h) { return OB_GetDeviceInfo(h, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"CommRead", [](OB_HANDLE h) { uint8_t b[4]; uint32_t n; return OB_CommRead(h, b, 4, &n, nullptr); }},
    {"CommWrite", [](OB_HANDLE h) { uint8_t b[4] = {}; uint32_t n; return OB_CommWrite(h, b, 4, &n, nullptr); }},
    {"CommGetOverlappedResult", [](OB_HANDLE h) { uint32_t n; return OB_CommGetOverlappedResult(h, nullptr, &n, 0); }},
    {"CommCancelIo", [](OB_HANDLE h) { return OB_CommCancelIo(h); }},
    {"CommSetBreak", [](OB_HANDLE h) { return OB_CommSetBreak(h); }},
    {"CommClearBreak", [](OB_HANDLE h) { return OB_CommClearBreak(h); }},
    {"CommEscape", [](OB_HANDLE h) { return OB_CommEscape(h, OB_ESCAPE_SETRTS); }},
    {"CommSetState", [](OB_HANDLE h) { OB_COMM_STATE s{}; s.size = sizeof s; return OB_CommSetState(h, &s); }},
    {"CommSetTimeouts", [](OB_HANDLE h) { OB_COMM_TIMEOUTS t{}; return OB_CommSetTimeouts(h, &t); }},
    {"CommPurge", [](OB_HANDLE h) { return OB_CommPurge(h, 0xF); }},
    {"CommGetModemStatus", [](OB_HANDLE h) { uint32_t s; return OB_CommGetModemStatus(h, &s); }},
    {"CommGetStatus", [](OB_HANDLE h) { OB_COMM_STATUS s; return OB_CommGetStatus(h, &s); }},
};

TEST_F(Orblink, ClosedForeignAndNullHandlesNeverReachTheDriver) {
    driver.add("dev0");
    OB_HANDLE closed = open(0);
    OB_CloseDevice(closed);
    OB_DEVICE_RECORD stack_record{}; // a foreign pointer that even looks like a record
    stack_record.self = &stack_record;
    driver.calls = 0;
    for (const auto& [name, op] : kHandleOps) {
        EXPECT_EQ(op(closed), OB_BAD_HANDLE) << name << " on a closed handle";
        EXPECT_EQ(op(&stack_record), OB_BAD_HANDLE) << name << " on a foreign handle";
        EXPECT_EQ(op(nullptr), OB_BAD_HANDLE) << name << " on NULL";
    }
    EXPECT_EQ(driver.calls, 0);
}

TEST_F(Orblink, MissingPointersAreBadArguments) {
    driver.add("dev0");
    OB_HANDLE h = open(0);
    driver.calls = 0;
    uint32_t n = 0;
    uint8_t b[4] = {};
    OB_DEVICE_LIST_ENTRY entry;
    const std::vector<std::pair<const char*, OB_STATUS>> cases = {
        {"ReadData got", OB_ReadData(h, b, 4, nullptr)},
        {"ReadData buffer", OB_ReadData(h, nullptr, 4, &n)},
        {"WriteData put", OB_WriteData(h, b, 4, nullptr)},
        {"WriteData buffer", OB_WriteData(h, nullptr, 4, &n)},
        {"GetLineState", OB_GetLineState(h, nullptr)},
        {"GetQueueStatus rx", OB_GetQueueStatus(h, nullptr, &n, &n)},
        {"GetQueueStatus tx", OB_GetQueueStatus(h, &n, nullptr, &n)},
        {"GetQueueStatus events", OB_GetQueueStatus(h, &n, &n, nullptr)},
        {"DeviceRequest in", OB_DeviceRequest(h, 0x220004, nullptr, 4, nullptr, 0, nullptr)},
        {"DeviceRequest out", OB_DeviceRequest(h, 0x220004, nullptr, 0, nullptr, 4, nullptr)},
        {"DeviceRequest code outside the table", OB_DeviceRequest(h, 0x2201C0, nullptr, 0, nullptr, 0, nullptr)},
        {"DeviceRequest code not nominal", OB_DeviceRequest(h, 0x220002, nullptr, 0, nullptr, 0, nullptr)},
        {"OpenByIdentity identity", OB_OpenByIdentity(nullptr, OB_IDENTITY_TEXT1, &h)},
        {"OpenByIdentity handle", OB_OpenByIdentity("x", OB_IDENTITY_TEXT1, nullptr)},
        {"OpenByIdentity kind", OB_OpenByIdentity("x", 3, &h)},
        {"CountDevices", OB_CountDevices(nullptr)},
        {"IdentityOf out", OB_IdentityOf(0, OB_IDENTITY_TEXT1, nullptr, 64)},
        {"IdentityOf number too small", OB_IdentityOf(0, OB_IDENTITY_NUMBER, b, 2)},
        {"IdentityOfAll count", OB_IdentityOfAll(OB_IDENTITY_NUMBER, b, 1, nullptr)},
        {"IdentityOfAll out", OB_IdentityOfAll(OB_IDENTITY_NUMBER, nullptr, 1, &n)},
        {"BuildDeviceList", OB_BuildDeviceList(nullptr)},
        {"GetDeviceListEntry", OB_GetDeviceListEntry(0, nullptr)},
        {"CommGetOverlappedResult", OB_CommGetOverlappedResult(h, nullptr, nullptr, 0)},
        {"CommSetState", OB_CommSetState(h, nullptr)},
        {"CommSetTimeouts", OB_CommSetTimeouts(h, nullptr)},
        {"CommGetModemStatus", OB_CommGetModemStatus(h, nullptr)},
        {"CommGetStatus", OB_CommGetStatus(h, nullptr)},
        {"CommEscape unknown", OB_CommEscape(h, 7)},
    };
    for (const auto& [name, status] : cases) EXPECT_EQ(status, OB_BAD_ARGUMENT) << name;
    EXPECT_EQ(driver.calls, 0);
    (void)entry;
}

// What each imported operation sends: nominal index and input bytes.
TEST_F(Orblink, RequestsCarryTheirNominalCodeAndInput) {
    FakeDevice& d = driver.add("dev0");
    OB_HANDLE h = open(0);
    struct Case {
        const char* name;
        std::function<OB_STATUS()> call;
        uint32_t nominal;
        std::vector<uint8_t> in;
    };
    const uintptr_t param = sizeof(void*) == 8 ? uintptr_t(0x1122334455667788ull) : 0x55667788u;
    const auto low = le32(uint32_t(reinterpret_cast<uintptr_t>(h)));
    std::vector<uint8_t> notification = low;
    for (auto v : {le32(0x0F), le32(uint32_t(uint64_t(param))), le32(uint32_t(uint64_t(param) >> 32))})
        notification.insert(notification.end(), v.begin(), v.end());
    const std::vector<Case> cases = {
        {"ResetPort", [&] { return OB_ResetPort(h); }, 0x220004, {}},
        {"SetLineSpeed", [&] { return OB_SetLineSpeed(h, 115200); }, 0x220104, le32(115200)},
        {"SetFraming", [&] { return OB_SetFraming(h, 7, 2, 3); }, 0x22010C, {2, 3, 7}},
        {"SetHandshake", [&] { return OB_SetHandshake(h, 0x400, 0x11, 0x13); }, 0x220164, {0x00, 0x04, 0x11, 0x13}},
        {"AssertDtr", [&] { return OB_AssertDtr(h); }, 0x220124, {}},
        {"ReleaseDtr", [&] { return OB_ReleaseDtr(h); }, 0x220128, {}},
        {"AssertRts", [&] { return OB_AssertRts(h); }, 0x220130, {}},
        {"ReleaseRts", [&] { return OB_ReleaseRts(h); }, 0x220134, {}},
        {"GetLineState", [&] { uint32_t s = 5; return OB_GetLineState(h, &s); }, 0x220168, le32(5)},
        {"SetSpecialChars", [&] { return OB_SetSpecialChars(h, 0x7E, 1, 0x3F, 0); }, 0x22015C, {0x7E, 1, 0x3F, 0}},
        {"PurgeBuffers", [&] { return OB_PurgeBuffers(h, 3); }, 0x22014C, le32(3)},
        {"SetIoTimeouts", [&] { return OB_SetIoTimeouts(h, 400, 300); }, 0x22011C, {0x90, 1, 0, 0, 0x2C, 1, 0, 0}},
        {"SetNotification", [&] { return OB_SetNotification(h, 0x0F, param); }, 0x22008C, notification},
        {"GetQueueStatus", [&] { uint32_t a, b, c; return OB_GetQueueStatus(h, &a, &b, &c); }, 0x220094, std::vector<uint8_t>(12)},
        {"CommPurge rx abort", [&] { return OB_CommPurge(h, OB_COMM_PURGE_RXABORT); }, 0x22014C, le32(1)},
        {"CommPurge tx clear + rx clear", [&] { return OB_CommPurge(h, OB_COMM_PURGE_TXCLEAR | OB_COMM_PURGE_RXCLEAR); }, 0x22014C, le32(3)},
        {"CommEscape SETDTR", [&] { return OB_CommEscape(h, OB_ESCAPE_SETDTR); }, 0x220124, {}},
        {"CommEscape CLRBREAK", [&] { return OB_CommEscape(h, OB_ESCAPE_CLRBREAK); }, 0x220114, {}},
        {"CommSetTimeouts", [&] { OB_COMM_TIMEOUTS t{1, 2, 3, 4, 5}; return OB_CommSetTimeouts(h, &t); }, 0x22011C,
         {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        d.requests.clear();
        EXPECT_EQ(c.call(), OB_SUCCESS) << c.name;
        ASSERT_EQ(d.requests.size(), 1u) << c.name;
        EXPECT_EQ(d.requests[0].code, c.nominal) << c.name << ": table 1 sends the nominal code";
        EXPECT_EQ(d.requests[0].in, c.in) << c.name;
    }
}

TEST_F(Orblink, OutputsComeFromTheReply) {
    FakeDevice& d = driver.add("dev0");
    d.rx = {1, 2, 3};
    OB_HANDLE h = open(0);
    uint32_t rx = 0, tx = 0, ev = 0, state = 0;
    EXPECT_EQ(OB_GetQueueStatus(h, &rx, &tx, &ev), OB_SUCCESS);
    EXPECT_EQ(rx, 3u);
    EXPECT_EQ(tx, 7u);
    EXPECT_EQ(ev, 9u);
    EXPECT_EQ(OB_GetLineState(h, &state), OB_SUCCESS);
    EXPECT_EQ(state, OB_LINE_CTS | OB_LINE_DSR);

    uint32_t type = 9, id = 0, extra = 0;
    char serial[16], description[64];
    EXPECT_EQ(OB_GetDeviceInfo(h, &type, &id, serial, description, &extra), OB_SUCCESS);
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(id, 0x1234u);
    EXPECT_EQ(extra, 0xE0E0u);
    EXPECT_STREQ(serial, "SN");
    EXPECT_STREQ(description, "Scope");

    // The generic request: translated code, and the unfilled rest of the output zeroed.
    uint8_t out[8];
    std::memset(out, 0xAA, sizeof out);
    uint32_t returned = 99;
    EXPECT_EQ(OB_DeviceRequest(h, 0x220168, "\0\0\0\0", 4, out, sizeof out, &returned), OB_SUCCESS);
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 8), (std::vector<uint8_t>{0x30, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Orblink, FailedRequestsReadsAndWrites) {
    FakeDevice& d = driver.add("dev0");
    OB_HANDLE h = open(0);
    d.failing = {wire::kResetPort, wire::kSetLineSpeed, wire::kGetQueueStatus};
    uint32_t rx = 11, tx = 12, ev = 13;
    EXPECT_EQ(OB_ResetPort(h), OB_REQUEST_FAILED);
    EXPECT_EQ(OB_SetLineSpeed(h, 5), OB_SPEED_REFUSED);
    EXPECT_EQ(OB_GetQueueStatus(h, &rx, &tx, &ev), OB_REQUEST_FAILED);
    EXPECT_EQ(rx, 11u) << "outputs untouched on failure";

    uint8_t buf[8];
    uint32_t got = 99;
    EXPECT_EQ(OB_ReadData(h, buf, 8, &got), OB_SUCCESS) << "read time-out";
    EXPECT_EQ(got, 0u);

    d.read_fails = true;
    EXPECT_EQ(OB_ReadData(h, buf, 8, &got), OB_REQUEST_FAILED);
    EXPECT_EQ(got, 0u);
    d.rx = {5, 6};
    EXPECT_EQ(OB_ReadData(h, buf, 8, &got), OB_SUCCESS) << "a failed read that moved bytes";
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(buf[1], 6);

    const uint8_t cmd[4] = {0x00, 0x42, 0x8F, 0xE0};
    uint32_t put = 99;
    d.write_fails = true;
    d.write_limit = 0;
    EXPECT_EQ(OB_WriteData(h, cmd, 4, &put), OB_REQUEST_FAILED);
    EXPECT_EQ(put, 0u);
    d.write_limit = 3;
    EXPECT_EQ(OB_WriteData(h, cmd, 4, &put), OB_SUCCESS);
    EXPECT_EQ(put, 3u);

    d.present = false; // unplugged while open
    EXPECT_EQ(OB_AssertDtr(h), OB_REQUEST_FAILED);
    EXPECT_EQ(OB_CloseDevice(h), OB_SUCCESS);
}

TEST_F(Orblink, RequestTableSwitchesWhenDeviceInformationFails) {
    struct Case {
        const char* name;
        int generation;
        bool status_fails;
        int table;
    };
    for (const Case c : {Case{"current driver", 1, false, 1},
                         Case{"older driver rejects table 1", 2, false, 2},
                         Case{"nonzero status word", 1, true, 2}}) {
        driver.devices.clear();
        FakeDevice& d = driver.add("dev0");
        d.generation = c.generation;
        d.info_status_fails = c.status_fails;
        d.chip_code = 0x40360012;
        OB_HANDLE h = open(0);
        EXPECT_EQ(h->request_table, request_table(c.table)) << c.name;
        d.requests.clear();
        EXPECT_EQ(OB_AssertRts(h), c.table == c.generation ? OB_SUCCESS : OB_REQUEST_FAILED) << c.name;
        ASSERT_EQ(d.requests.size(), 1u);
        EXPECT_EQ(d.requests[0].code, wire::table_code(c.table, 0x130 / 4)) << c.name;
        if (!c.status_fails) {
            EXPECT_EQ(h->chip_type, 5) << c.name;
        }
        OB_CloseDevice(h);
    }
}

TEST_F(Orblink, ChipCodesMapToDeviceTypes) {
    const std::pair<uint32_t, int32_t> cases[] = {{0x40360011, 0}, {0x40360010, 1}, {0x40383720, 2},
                                                  {0x40360100, 4}, {0x40360012, 5}, {0x12345678, 3}};
    for (auto [code, type] : cases) EXPECT_EQ(chip_type_of(code), type) << std::hex << code;
}

class Identity : public Orblink {
protected:
    void SetUp() override {
        Orblink::SetUp();
        for (uint32_t i = 0; i < 3; ++i) {
            FakeDevice& d = driver.add("dev" + std::to_string(i), 100 + i);
            d.identity2 = "second" + std::to_string(i);
            d.identity_number = 500 + i;
        }
    }
};

TEST_F(Identity, OpenByTextAndByNumber) {
    OB_HANDLE h = nullptr;
    ASSERT_EQ(OB_OpenByIdentity("dev1", OB_IDENTITY_TEXT1, &h), OB_SUCCESS);
    EXPECT_STREQ(h->path_detail, "fake/dev1");
    EXPECT_EQ(h->open_flags, int32_t(OB_IDENTITY_TEXT1));
    EXPECT_FALSE(driver.devices[0].open) << "non-matching devices are closed again";

    ASSERT_EQ(OB_OpenByIdentity("second2", OB_IDENTITY_TEXT2, &h), OB_SUCCESS);
    EXPECT_STREQ(h->path_detail, "fake/dev2");

    const uint32_t number = 500;
    ASSERT_EQ(OB_OpenByIdentity(&number, OB_IDENTITY_NUMBER, &h), OB_SUCCESS);
    EXPECT_STREQ(h->path_detail, "fake/dev0");

    // The terminator takes part: a prefix or an extension is no match.
    EXPECT_EQ(OB_OpenByIdentity("dev", OB_IDENTITY_TEXT1, &h), OB_NO_SUCH_DEVICE);
    EXPECT_EQ(OB_OpenByIdentity("dev1x", OB_IDENTITY_TEXT1, &h), OB_NO_SUCH_DEVICE);
    EXPECT_EQ(open_handles()->path_detail, std::string("fake/dev0")) << "failed searches leave nothing open";
}

TEST_F(Identity, DevicesThatVanishOrAreBusyAreSkipped) {
    driver.devices[2].identity1 = "wanted";
    driver.after_count = [&] { driver.devices[0].present = false; };
    driver.devices[1].in_use = true;
    OB_HANDLE h = nullptr;
    ASSERT_EQ(OB_OpenByIdentity("wanted", OB_IDENTITY_TEXT1, &h), OB_SUCCESS);
    EXPECT_STREQ(h->path_detail, "fake/dev2");

    driver.after_count = nullptr;
    for (auto& d : driver.devices) d.present = false;
    EXPECT_EQ(OB_OpenByIdentity("wanted", OB_IDENTITY_TEXT1, &h), OB_NO_SUCH_DEVICE);
}

TEST_F(Identity, IdentityOfOneAndAll) {
    uint32_t count = 0;
    EXPECT_EQ(OB_CountDevices(&count), OB_SUCCESS);
    EXPECT_EQ(count, 3u);

    char text[64];
    EXPECT_EQ(OB_IdentityOf(1, OB_IDENTITY_TEXT2, text, sizeof text), OB_SUCCESS);
    EXPECT_STREQ(text, "second1");
    EXPECT_EQ(OB_IdentityOf(1, 0, text, sizeof text), OB_SUCCESS) << "unknown kind reads text 1";
    EXPECT_STREQ(text, "dev1");
    char small[4];
    EXPECT_EQ(OB_IdentityOf(1, OB_IDENTITY_TEXT1, small, sizeof small), OB_BAD_ARGUMENT)
        << "never writes past the caller's buffer";
    uint32_t number = 0;
    EXPECT_EQ(OB_IdentityOf(2, OB_IDENTITY_NUMBER, &number, 4), OB_SUCCESS);
    EXPECT_EQ(number, 502u);
    EXPECT_EQ(OB_IdentityOf(3, OB_IDENTITY_NUMBER, &number, 4), OB_NO_SUCH_DEVICE);
    EXPECT_EQ(open_handles(), nullptr);

    driver.devices[1].in_use = true;
    uint32_t numbers[3] = {};
    EXPECT_EQ(OB_IdentityOfAll(OB_IDENTITY_NUMBER, numbers, 3, &count), OB_SUCCESS);
    EXPECT_EQ(count, 2u) << "a device that cannot be opened is skipped";
    EXPECT_EQ(numbers[0], 500u);
    EXPECT_EQ(numbers[1], 502u);
    char a[64], b[64];
    char* texts[] = {a, b};
    EXPECT_EQ(OB_IdentityOfAll(OB_IDENTITY_TEXT1, texts, 1, &count), OB_SUCCESS);
    EXPECT_EQ(count, 1u) << "capacity bounds the array";
    EXPECT_STREQ(a, "dev0");
}

TEST_F(Identity, DeviceListMatchesOpenHandlesByInstance) {
    OB_HANDLE mine = open(1);
    driver.devices[2].in_use = true; // another program, no handle here
    uint32_t count = 0;
    ASSERT_EQ(OB_BuildDeviceList(&count), OB_SUCCESS);
    ASSERT_EQ(count, 3u);
    OB_DEVICE_LIST_ENTRY e[3];
    for (uint32_t i = 0; i < 3; ++i) ASSERT_EQ(OB_GetDeviceListEntry(i, &e[i]), OB_SUCCESS);
    EXPECT_EQ(OB_GetDeviceListEntry(3, &e[0]), OB_NO_SUCH_DEVICE);

    EXPECT_EQ(e[0].flags, 0u);
    EXPECT_EQ(e[0].identity_number, 500u);
    EXPECT_STREQ(e[0].serial, "SN");
    EXPECT_STREQ(e[0].description, "Scope");
    EXPECT_EQ(e[0].handle, 0u);
    EXPECT_FALSE(driver.devices[0].open) << "listed devices are closed again";

    EXPECT_EQ(e[1].flags, OB_DEVICE_OPEN_HERE);
    EXPECT_EQ(e[1].handle, uint64_t(reinterpret_cast<uintptr_t>(mine)));
    EXPECT_EQ(e[1].id, 0x1234u);

    EXPECT_EQ(e[2].flags, 0u);
    EXPECT_EQ(e[2].handle, 0u);
    EXPECT_EQ(e[2].serial[0], 0);

    // An unknown instance number (0) matches nothing, even an open handle with instance 0.
    driver.devices.clear();
    driver.add("a", 0);
    driver.add("b", 0);
    OB_HANDLE zero = open(0);
    ASSERT_EQ(OB_BuildDeviceList(&count), OB_SUCCESS);
    ASSERT_EQ(OB_GetDeviceListEntry(0, &e[0]), OB_SUCCESS);
    EXPECT_EQ(e[0].flags, 0u);
    EXPECT_EQ(e[0].handle, 0u);
    (void)zero;

    EXPECT_EQ(OB_FreeDeviceList(), OB_SUCCESS);
    EXPECT_EQ(OB_GetDeviceListEntry(0, &e[0]), OB_NO_SUCH_DEVICE);
    fail_allocations(1);
    EXPECT_EQ(OB_BuildDeviceList(&count), OB_OUT_OF_MEMORY);
}

TEST_F(Orblink, CommSetStateStopsAtTheFirstRefusal) {
    FakeDevice& d = driver.add("dev0");
    OB_HANDLE h = open(0);
    OB_COMM_STATE s{};
    s.size = sizeof s;
    s.baud = 9600;
    s.handshake = OB_HANDSHAKE_XON_XOFF;
    s.word_length = 8;
    s.xon_char = 0x11;
    s.xoff_char = 0x13;
    d.requests.clear();
    EXPECT_EQ(OB_CommSetState(h, &s), OB_SUCCESS);
    std::vector<uint32_t> sent;
    for (const auto& r : d.requests) sent.push_back(nominal_index(d, r));
    EXPECT_EQ(sent, (std::vector<uint32_t>{wire::kSetLineSpeed, wire::kSetFraming,
                                           wire::kSetHandshake, wire::kSetSpecialChars}));
    EXPECT_EQ(d.requests[2].in, (std::vector<uint8_t>{0x00, 0x04, 0x11, 0x13}));

    d.failing = {wire::kSetLineSpeed};
    d.requests.clear();
    EXPECT_EQ(OB_CommSetState(h, &s), OB_SPEED_REFUSED);
    EXPECT_EQ(d.requests.size(), 1u);
    s.size = 20;
    EXPECT_EQ(OB_CommSetState(h, &s), OB_BAD_ARGUMENT);
}

} // namespace
