// SPDX-License-Identifier: MIT
#include "ui/application.h"

#include "core/scope/device_library.h"
#include "sim/simulator_host.h"
#include "ui/analysis_forms.h"
#include "ui/message_forms.h"
#include "ui/placeholder_forms.h"
#include "ui/search_form.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>

namespace orv::ui {

Application::Application(AppOptions options) : options_(std::move(options)) {}

Application::~Application() {
    // Windows before the simulator: the engine may still hold a device open.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) delete *it;
    windows_.clear();
}

std::optional<FatalStart> Application::create() {
    if (options_.simulate_model) {
        simulator_ = orv::sim::SimulatorHost::start(*options_.simulate_model, &simulator_error_);
        // Without a simulator the program still runs: it searches and offers the demo.
        if (simulator_) ::setenv("ORBLINK_DEVICE_DIR", simulator_->directory().c_str(), 1);
    }
    ctx_ = std::make_unique<orv::ScopeContext>();
    ctx_->program_folder = orv::ProgramFolder::resolve(options_.home);

    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));

    // The main window is created first and runs its creation handler before the others exist.
    main_ = new TMainForm(*ctx_, orv::orblink_library(), options_.instance_number);
    windows_.push_back(main_);
    if (auto fatal = main_->FormCreate()) return fatal;
    error_ = new TErrorForm;
    windows_.push_back(error_);
    search_ = new Tsearchform;
    windows_.push_back(search_);
    for (int i = 0; i < kLaterFormCount; ++i) {
        if (std::strcmp(kLaterForms[i].class_name, "TStandard_DAQ_set_Form") == 0) {
            general_error_ = new Tgeneral_error_form;
            windows_.push_back(general_error_);
        }
        QWidget* form = main_->make_settings_form(kLaterForms[i].class_name);
        if (!form) form = create_analysis_form(kLaterForms[i].class_name, *ctx_);
        windows_.push_back(form ? form : new PlaceholderForm(kLaterForms[i].class_name, kLaterForms[i].caption));
    }
    main_->set_windows(error_, search_, general_error_);
    main_->attach_analysis([this](const QString& name) { return window(name); });
    return std::nullopt;
}

void Application::show() {
    main_->show();
    main_->FormShow();
}

QWidget* Application::window(const QString& class_name) const {
    for (QWidget* w : windows_)
        if (w->objectName() == class_name) return w;
    return nullptr;
}

} // namespace orv::ui
