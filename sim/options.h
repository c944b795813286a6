// SPDX-License-Identifier: MIT
// How the simulator is set up: per instrument and for the whole service. The daemon parses them
// from its command line; --simulate in the application and the CLI builds them in code.
#pragma once

#include "sim/instrument.h"

#include <string>
#include <vector>

namespace orv::sim {

struct DeviceOptions {
    InstrumentConfig instrument;
    double unplug_after_s = -1.0; // seconds after start (or after the last replug); < 0 never
    double replug_after_s = -1.0; // seconds after an unplug; < 0 stays unplugged
    bool id_given = false;        // false: the identification bytes follow the device number
};

struct SimulatorOptions {
    std::string dir;              // empty: the library's default device directory
    std::vector<DeviceOptions> devices{DeviceOptions{}};
    bool virtual_clock = false;   // packets on demand: time moves only when the host waits
    std::string log_registers;    // file for device 0; further devices get ".1", ".2" appended
    bool quiet = false;
};

// The default identification bytes of device number n (so two instruments differ).
std::array<uint8_t, 5> default_id(int device_number);

// The library's default device directory: $ORBLINK_DEVICE_DIR, else ${XDG_RUNTIME_DIR:-/tmp}/orblink.
std::string default_device_dir();

struct ParseResult {
    SimulatorOptions options;
    bool ok = true;
    bool help = false;
    std::string error;
};
// Parses the daemon's arguments (argv[0] excluded).
ParseResult parse_options(const std::vector<std::string>& args);
std::string usage();

} // namespace orv::sim
