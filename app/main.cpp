// SPDX-License-Identifier: MIT
// ORV_5800: instance number, windows, event loop.
#include "ui/instance_lock.h"
#include "app/quit_signals.h"
#include "ui/application.h"
#include "ui/message_forms.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: ORV_5800 [--simulate[=MODEL]] [--home DIR]\n"
    "  --simulate[=MODEL]  attach an in-process simulated instrument (model 0..5, default 1)\n"
    "  --home DIR          use DIR as the program folder (setup/, images/, user folders)\n";

struct Parsed {
    orv::ui::AppOptions options;
    bool ok = true;
    bool help = false;
};

Parsed parse(const QStringList& args) {
    Parsed p;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--simulate")) {
            p.options.simulate_model = 1;
        } else if (a.startsWith(QLatin1String("--simulate="))) {
            bool ok = false;
            const int model = a.mid(11).toInt(&ok);
            if (!ok || model < 0 || model > 5) p.ok = false;
            p.options.simulate_model = model;
        } else if (a == QLatin1String("--home") && i + 1 < args.size()) {
            p.options.home = args[++i].toStdString();
        } else if (a.startsWith(QLatin1String("--home="))) {
            p.options.home = a.mid(7).toStdString();
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            p.help = true;
        } else {
            p.ok = false;
        }
    }
    return p;
}

} // namespace

int main(int argc, char** argv) {
    auto lock = orv::ui::InstanceLock::acquire(orv::ui::InstanceLock::default_runtime_dir());
    if (!lock) return 0; // every instance number is taken

    QApplication app(argc, argv);
    const Parsed parsed = parse(QApplication::arguments());
    if (parsed.help || !parsed.ok) {
        std::fputs(kUsage, parsed.ok ? stdout : stderr);
        return parsed.ok ? 0 : 2;
    }
    orv::ui::AppOptions options = parsed.options;
    options.instance_number = lock->number();

    int code = 0;
    {
        orv::ui::Application application(options);
        if (auto fatal = application.create()) {
            orv::ui::show_message_box(fatal->message, fatal->caption);
            return 0;
        }
        if (options.simulate_model && !application.simulator())
            std::fprintf(stderr, "ORV_5800: simulator not started: %s\n", application.simulator_error().c_str());
        orv::ui::TMainForm* form = application.main_form();
        form->on_closed = [] { QApplication::quit(); };
        orv::app::install_quit_signals([form] { form->close(); });
        application.show();
        code = QApplication::exec();
    }
    return code;
}
