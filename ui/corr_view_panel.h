// SPDX-License-Identifier: MIT
// Tcorrviewpanel "Correlation Map": the green bar CorrelationThread draws, with its pop-up menu.
#pragma once

#include "ui/print_support.h"

namespace orv::ui {

class Tcorrviewpanel : public PictureWindow {
    Q_OBJECT
public:
    explicit Tcorrviewpanel(QWidget* parent = nullptr);
    ViewImage* corr_map = nullptr;
};

} // namespace orv::ui
