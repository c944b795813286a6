// SPDX-License-Identifier: MIT
// The engine's device-library interface over the real Orblink.
#pragma once

namespace orv {
class DeviceLibrary;
}

namespace orv::ui {
orv::DeviceLibrary& orblink_device_library();
}
