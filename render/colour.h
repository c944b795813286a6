// SPDX-License-Identifier: MIT
// Colour values as the preference files store them: 0x00BBGGRR, or a system colour (top byte
// 0xFF, low byte the system colour index).
#pragma once

#include <cstdint>

class QColor;

namespace orv::render {

QColor to_qcolor(uint32_t colour);

// The system colours the shipped preferences use.
inline constexpr uint32_t kSysButtonFace = 0xFF00000Fu;
inline constexpr uint32_t kSysWindow = 0xFF000005u;
inline constexpr uint32_t kSysWindowText = 0xFF000008u;

} // namespace orv::render
