// SPDX-License-Identifier: MIT
#include "ui/xy_plot_panel.h"

namespace orv::ui {

Txyplotpanel::Txyplotpanel(QWidget* parent)
    : PictureWindow({"Txyplotpanel", "X-Y Plot", "xy_map", "Setup X-YPlot Window", "Print X-Y Plot", "Close",
                     PrintFrame::SquareEighths},
                    parent) {
    xy_map = picture();
    resize(400, 400);
}

} // namespace orv::ui
