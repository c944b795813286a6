// SPDX-License-Identifier: MIT
// Txyplotpanel "X-Y Plot": the picture xy_Thread draws, with its pop-up menu.
#pragma once

#include "ui/print_support.h"

namespace orv::ui {

class Txyplotpanel : public PictureWindow {
    Q_OBJECT
public:
    explicit Txyplotpanel(QWidget* parent = nullptr);
    ViewImage* xy_map = nullptr;
};

} // namespace orv::ui
