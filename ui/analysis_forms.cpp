// SPDX-License-Identifier: MIT
#include "ui/analysis_forms.h"

#include "core/scope/scope_context.h"
#include "ui/corr_view_panel.h"
#include "ui/fft_form.h"
#include "ui/fft_setup_panel.h"
#include "ui/measure_select_form.h"
#include "ui/multimeter_form.h"
#include "ui/stereo_view_panel.h"
#include "ui/xy_plot_panel.h"
#include "ui/xy_setup_panel.h"

#include <cstring>

namespace orv::ui {

QWidget* create_analysis_form(const char* name, orv::ScopeContext& ctx) {
    const auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
    if (is("TFFT_Form")) return new TFFT_Form(ctx.user_prefs);
    if (is("Tmeasureselectform")) return new Tmeasureselectform;
    if (is("TFFT_setup_panel")) return new TFFT_setup_panel(ctx.user_prefs, ctx.default_prefs);
    if (is("Txy_setup_panel")) return new Txy_setup_panel(ctx.user_prefs, ctx.default_prefs);
    if (is("Tsteroviewpanel")) return new Tsteroviewpanel;
    if (is("Tcorrviewpanel")) return new Tcorrviewpanel;
    if (is("Txyplotpanel")) return new Txyplotpanel;
    if (is("TMulti_metre_form")) {
        auto* meter = new TMulti_metre_form(ctx.user_prefs);
        meter->FormCreate();
        return meter;
    }
    return nullptr;
}

} // namespace orv::ui
