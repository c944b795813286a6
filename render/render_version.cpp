// SPDX-License-Identifier: MIT
#include <QImage>

namespace orv::render {
// Placeholder so the layer links until the painters arrive.
bool image_ok(const QImage& image) { return !image.isNull(); }
} // namespace orv::render
