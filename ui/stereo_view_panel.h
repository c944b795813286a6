// SPDX-License-Identifier: MIT
// Tsteroviewpanel "Stero Map": the rotated plot StereoThread draws, with its pop-up menu.
#pragma once

#include "ui/print_support.h"

namespace orv::ui {

class Tsteroviewpanel : public PictureWindow {
    Q_OBJECT
public:
    explicit Tsteroviewpanel(QWidget* parent = nullptr);
    ViewImage* stero_map = nullptr;
};

} // namespace orv::ui
