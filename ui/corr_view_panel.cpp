// SPDX-License-Identifier: MIT
#include "ui/corr_view_panel.h"

namespace orv::ui {

Tcorrviewpanel::Tcorrviewpanel(QWidget* parent)
    : PictureWindow({"Tcorrviewpanel", "Correlation Map", "corr_map", nullptr, "Print C Map", "&Close",
                     PrintFrame::StripTenths},
                    parent) {
    corr_map = picture();
    // A single border: the window keeps its designed client size.
    setFixedSize(617, 57);
}

} // namespace orv::ui
