// SPDX-License-Identifier: MIT
// A main window on its own (no other windows) against the in-process simulated instrument, with
// every register command the window writes recorded. Shared by the front-panel, cursor and
// settings-dialog tests.
#pragma once

#include "ui_test_environment.h"

#include "core/scope/acquisition.h"
#include "core/scope/device_library.h"
#include "sim/simulator_host.h"
#include "ui/main_form.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace orv::test {

struct Command {
    uint8_t reg;
    uint8_t value;
    bool operator==(const Command&) const = default;
};

// Forwards to the real library and decodes every 4-byte command written.
class RecordingLibrary : public orv::DeviceLibrary {
public:
    std::vector<Command> writes;
    bool has(uint8_t reg) const {
        for (const Command& c : writes)
            if (c.reg == reg) return true;
        return false;
    }
    int last(uint8_t reg) const {
        int v = -1;
        for (const Command& c : writes)
            if (c.reg == reg) v = c.value;
        return v;
    }

    LibStatus write_data(DeviceHandle h, const void* buffer, uint32_t count, uint32_t* put) override {
        const auto* b = static_cast<const uint8_t*>(buffer);
        for (uint32_t i = 0; i + 4 <= count; i += 4)
            writes.push_back({static_cast<uint8_t>((b[i + 2] & 0x0F) | ((b[i + 3] & 0x0F) << 4)),
                              static_cast<uint8_t>((b[i] << 4) | (b[i + 1] & 0x0F))});
        return real().write_data(h, buffer, count, put);
    }
    LibStatus open_index(int32_t index, DeviceHandle* handle) override { return real().open_index(index, handle); }
    LibStatus close_device(DeviceHandle h) override { return real().close_device(h); }
    LibStatus read_data(DeviceHandle h, void* buffer, uint32_t count, uint32_t* got) override {
        return real().read_data(h, buffer, count, got);
    }
    LibStatus reset_port(DeviceHandle h) override { return real().reset_port(h); }
    LibStatus set_line_speed(DeviceHandle h, uint32_t baud) override { return real().set_line_speed(h, baud); }
    LibStatus set_framing(DeviceHandle h, uint8_t w, uint8_t s, uint8_t p) override {
        return real().set_framing(h, w, s, p);
    }
    LibStatus set_handshake(DeviceHandle h, uint16_t mode, uint8_t xon, uint8_t xoff) override {
        return real().set_handshake(h, mode, xon, xoff);
    }
    LibStatus assert_dtr(DeviceHandle h) override { return real().assert_dtr(h); }
    LibStatus release_dtr(DeviceHandle h) override { return real().release_dtr(h); }
    LibStatus assert_rts(DeviceHandle h) override { return real().assert_rts(h); }
    LibStatus release_rts(DeviceHandle h) override { return real().release_rts(h); }
    LibStatus get_line_state(DeviceHandle h, uint32_t* state) override { return real().get_line_state(h, state); }
    LibStatus set_special_chars(DeviceHandle h, uint8_t ec, uint8_t eo, uint8_t xc, uint8_t xo) override {
        return real().set_special_chars(h, ec, eo, xc, xo);
    }
    LibStatus purge_buffers(DeviceHandle h, uint32_t mask) override { return real().purge_buffers(h, mask); }
    LibStatus set_io_timeouts(DeviceHandle h, uint32_t r, uint32_t w) override {
        return real().set_io_timeouts(h, r, w);
    }
    LibStatus set_notification(DeviceHandle h, uint32_t mask, uint64_t parameter) override {
        return real().set_notification(h, mask, parameter);
    }
    LibStatus get_queue_status(DeviceHandle h, uint32_t* rx, uint32_t* tx, uint32_t* ev) override {
        return real().get_queue_status(h, rx, tx, ev);
    }

private:
    static orv::DeviceLibrary& real() { return orv::orblink_library(); }
};

// `simulate`: connect to a simulated 100 MHz instrument; otherwise the window runs its demo.
class MainWindowFixture : public ::testing::Test {
protected:
    explicit MainWindowFixture(bool simulate = true) : simulate_(simulate) {}

    void SetUp() override {
        if (!folder_.ok()) GTEST_SKIP() << "ORV_PROGRAM_DIR has no setup files";
        captured_messages().clear();
        if (simulate_) {
            sim_ = orv::sim::SimulatorHost::start(1);
            ASSERT_TRUE(sim_);
            ::setenv("ORBLINK_DEVICE_DIR", sim_->directory().c_str(), 1);
        }
        ctx_.program_folder = orv::ProgramFolder(folder_.path());
        form_ = std::make_unique<orv::ui::TMainForm>(ctx_, lib_, 0);
        ASSERT_FALSE(form_->FormCreate().has_value());
        for (const char* name : {"TMainview_Setup_Panel", "TProbe_setup_panel", "TSet_trig_x_loc_form"})
            forms_.emplace_back(form_->make_settings_form(name));
        form_->resize(1100, 760);
        form_->show();
        form_->FormShow();
        if (simulate_) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    return form_->scope().link().connected() && form_->scope().info_received &&
                           ctx_.sent_settings.run_mode == orv::RunMode::Auto;
                },
                5000));
        }
        QTest::qWait(50);
        lib_.writes.clear();
    }

    void TearDown() override {
        if (form_) form_->close();
        forms_.clear();
        form_.reset();
        sim_.reset();
        ::setenv("ORBLINK_DEVICE_DIR", empty_device_dir().c_str(), 1);
    }

    orv::ui::TMainForm& form() { return *form_; }
    orv::Torv& settings() { return ctx_.current_settings; }

    bool simulate_;
    TempProgramFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::unique_ptr<orv::sim::SimulatorHost> sim_;
    orv::ScopeContext ctx_;
    RecordingLibrary lib_;
    std::unique_ptr<orv::ui::TMainForm> form_;
    std::vector<std::unique_ptr<QWidget>> forms_;
};

} // namespace orv::test
