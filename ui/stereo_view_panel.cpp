// SPDX-License-Identifier: MIT
#include "ui/stereo_view_panel.h"

namespace orv::ui {

Tsteroviewpanel::Tsteroviewpanel(QWidget* parent)
    : PictureWindow({"Tsteroviewpanel", "Stero Map", "stero_map", nullptr, "Print S Map", "&Close",
                     PrintFrame::SquareEighths},
                    parent) {
    stero_map = picture();
    setFixedSize(387, 362);
}

} // namespace orv::ui
