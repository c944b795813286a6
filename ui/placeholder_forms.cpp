// SPDX-License-Identifier: MIT
#include "ui/placeholder_forms.h"

namespace orv::ui {

PlaceholderForm::PlaceholderForm(const char* class_name, const char* caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(class_name));
    setWindowTitle(QString::fromLatin1(caption));
}

// TErrorForm, Tsearchform and Tgeneral_error_form are real windows; they are created in their
// places by the application. The three windows no command ever shows are left out.
const FormSpec kLaterForms[] = {
    {"TFFT_Form", "FFT"},
    {"Tmeasureselectform", "Measurement"},
    {"TMainview_Setup_Panel", "Main Window Setting"},
    {"TProbe_setup_panel", "Probe Setting"},
    {"TFFT_setup_panel", "FFT Option"},
    {"Txy_setup_panel", "X-Y Option"},
    {"TCALIBRATION1", "Calibration"},
    {"Tplaybacksettingpanel", "PlayBack"},
    {"Tsteroviewpanel", "S Map"},
    {"Tcorrviewpanel", "C Map"},
    {"Txyplotpanel", "X-Y Plot"},
    {"Ton_calibration_form", "Calibration"},
    {"Tok_Calibrate_Form", "Calibration"},
    {"Tmid_calibratin_form", "Calibration"},
    {"TAbout_Form", "About"},
    {"TAdjust_form", "Adjust"},
    {"THelp_lanuage_form", "Language"},
    {"TSet_trig_x_loc_form", "Time-Axis Trigger Setting"},
    {"Trecord_txt_form", "Record As Text"},
    {"Trecord_interval_setting_form", "Record Interval"},
    {"TStandard_DAQ_set_Form", "DAQ"},
    {"TMulti_metre_form", "Multimeter"},
    {"TLogic_setup_form", "Logic Setup"},
    {"TCali_info_form", "Calibration Data"},
    {"Tlogic_prefer_form", "Logic Preferences"},
};
const int kLaterFormCount = static_cast<int>(sizeof kLaterForms / sizeof kLaterForms[0]);

} // namespace orv::ui
