// SPDX-License-Identifier: MIT
#pragma once

#include "driver.h"

namespace orblink {

// A device connection over an already connected service socket (takes the fd). The fuzz target
// feeds replies through it.
std::unique_ptr<Connection> make_socket_connection(int fd);

} // namespace orblink
