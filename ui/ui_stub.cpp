// SPDX-License-Identifier: MIT
#include <QWidget>

namespace orv::ui {
// Placeholder so the layer links until the windows arrive.
bool widget_visible(const QWidget& w) { return w.isVisible(); }
} // namespace orv::ui
