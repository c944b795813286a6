// SPDX-License-Identifier: MIT
#include "render/colour.h"

#include <QColor>

namespace orv::render {

QColor to_qcolor(uint32_t colour) {
    if ((colour & 0xFF000000u) == 0xFF000000u) {
        switch (colour & 0xFFu) {
        case 1:  // desktop
        case 7:  // window frame
        case 8:  // window text
        case 9:  // caption text
        case 18: // button text
            return QColor(0, 0, 0);
        case 5:  // window
        case 14: // highlight text
        case 20: // button highlight
            return QColor(255, 255, 255);
        case 13: // highlight
            return QColor(0, 120, 215);
        case 16: // button shadow
            return QColor(160, 160, 160);
        default: // button face and the rest of the greys
            return QColor(240, 240, 240);
        }
    }
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

} // namespace orv::render
