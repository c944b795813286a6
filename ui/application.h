// SPDX-License-Identifier: MIT
// The application's windows: the main window first, then every other window (hidden), then the
// first show. Owns the settings context and, with --simulate, the in-process instrument.
#pragma once

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "ui/main_form.h"

class QWidget;

namespace orv::sim {
class SimulatorHost;
}

namespace orv::ui {

class TErrorForm;
class Tgeneral_error_form;
class Tsearchform;

inline constexpr const char* kApplicationTitle = "RTM5800";

struct AppOptions {
    std::optional<std::filesystem::path> home; // --home DIR
    int instance_number = 0;
    std::optional<int> simulate_model;         // --simulate[=MODEL]
};

class Application {
public:
    explicit Application(AppOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the windows in their order; a fatal start-up problem comes back instead.
    std::optional<FatalStart> create();
    // Shows the main window and runs its first connection attempt.
    void show();

    TMainForm* main_form() const { return main_; }
    Tsearchform* search_form() const { return search_; }
    TErrorForm* error_form() const { return error_; }
    Tgeneral_error_form* general_error_form() const { return general_error_; }
    // Every window in creation order (the main window first).
    const std::vector<QWidget*>& windows() const { return windows_; }
    QWidget* window(const QString& class_name) const;
    orv::sim::SimulatorHost* simulator() const { return simulator_.get(); }
    std::string simulator_error() const { return simulator_error_; }

private:
    AppOptions options_;
    std::unique_ptr<orv::sim::SimulatorHost> simulator_;
    std::string simulator_error_;
    std::unique_ptr<orv::ScopeContext> ctx_;
    TMainForm* main_ = nullptr;
    TErrorForm* error_ = nullptr;
    Tsearchform* search_ = nullptr;
    Tgeneral_error_form* general_error_ = nullptr;
    std::vector<QWidget*> windows_;
};

} // namespace orv::ui
