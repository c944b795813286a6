// SPDX-License-Identifier: MIT
// Creation, first show and closing of the main window.
#include "ui/main_form.h"

#include "core/scope/acquisition.h"
#include "core/scope/setup_files.h"
#include "render/colour.h"
#include "ui/message_forms.h"
#include "ui/search_form.h"
#include "ui/trace_view.h"
#include "ui/worker_thread.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>

#include <new>

namespace orv::ui {
namespace {

constexpr int kControlPanelWidth = 410;
constexpr const char* kMemoryMessage = "Memory Not Enough !";

QSize screen_size() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1280, 800);
}

// The picture every view bitmap starts with; any picture will do, so a missing file is drawn.
QImage view_picture(const orv::ProgramFolder& folder) {
    QImage img(QString::fromStdString((folder.images_dir() / "t.bmp").string()));
    if (!img.isNull()) return img.convertToFormat(QImage::Format_RGB32);
    QImage blank(64, 64, QImage::Format_RGB32);
    blank.fill(Qt::black);
    return blank;
}

} // namespace

TMainForm::TMainForm(orv::ScopeContext& ctx, orv::DeviceLibrary& library, int instance_number, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), library_(library),
      scope_(std::make_unique<orv::Scope>(ctx, library, *this, hooks_)), instance_number_(instance_number) {
    setObjectName(QStringLiteral("TMainForm"));
    scope_->instance_number = instance_number;
    ReadTimer = new QTimer(this);
    ReadTimer->setObjectName(QStringLiteral("ReadTimer"));
    ReadTimer->setInterval(40);
    connect(ReadTimer, &QTimer::timeout, this, &TMainForm::ReadTimerTimer);
}

TMainForm::~TMainForm() {
    stop_workers();
    for (QImage*& b : knob_bitmaps_) delete std::exchange(b, nullptr);
    for (QImage*& b : view_bitmaps_) delete std::exchange(b, nullptr);
}

void TMainForm::set_windows(TErrorForm* error_form, Tsearchform* search_form, Tgeneral_error_form* general_error) {
    error_form_ = error_form;
    searchform_ = search_form;
    general_error_ = general_error;
    if (searchform_) {
        searchform_->on_tick = [this] { SearchTimerTimer(); };
        searchform_->on_enter_demo = [this] { enter_demo(); };
    }
}

std::optional<FatalStart> TMainForm::FormCreate() {
    const QSize screen = screen_size();
    // 1. The display needs this much at most; fail early rather than in the middle of a frame.
    {
        const std::size_t bytes = static_cast<std::size_t>(screen.width()) * static_cast<std::size_t>(screen.height()) * 8 + 1048576;
        char* probe = new (std::nothrow) char[bytes];
        if (!probe) return FatalStart{kMemoryMessage, "Error"};
        delete[] probe;
    }
    // 2, 3. Flags start clear (the engine's constructor); the language file is read first.
    if (const auto lang = orv::read_language_file(ctx_); !lang.ok())
        return FatalStart{std::string(lang.message()), std::string(lang.caption())};
    // 5.
    set_caption(orv::kBaseCaption);
    // 6.
    scope_->device_variant = 51;
    scope_->info_received = false;
    scope_->cal_file_loaded = false;
    scope_->first_frame_pending = true;
    ctx_.device_model = orv::kDefaultDeviceModel;
    // 7.
    ctx_.current_settings.measure_count = 12;
    // 8, 9. Panels, menus, read-out labels.
    build_menus();
    build_tool_bar();
    build_panels();
    // 4. The language's own text of the home-page item (the menus exist from here on).
    if (auto* home = findChild<QAction*>(QStringLiteral("WebPage1")))
        home->setText(ctx_.language == 1 ? QStringLiteral("\u8bbf\u95eeTalvor(&P)") : QStringLiteral("Talvor Home &Page"));
    const int measure_height = screen.height() * 2 / 10;
    initial_split1_ = {screen.width() - kControlPanelWidth, kControlPanelWidth};
    initial_split2_ = {screen.height() - measure_height, measure_height};
    Splitter1->setSizes(initial_split1_);
    Splitter2->setSizes(initial_split2_);
    // 10. The engine starts with a full frame and the timebar at a quarter of it.
    // 11. Cursors at thirds and quarters of the view.
    const int view_w = screen.width() - kControlPanelWidth;
    const int view_h = screen.height() - measure_height;
    cursor_x1_ = view_w / 3;
    cursor_x2_ = 2 * cursor_x1_;
    cursor_y1_ = view_h / 4;
    cursor_y2_ = 2 * cursor_y1_;
    // 12. Knob bitmaps start in the button face colour; the view bitmaps with the picture.
    const int knob_sizes[8] = {180, 180, 260, 136, 136, 80, 80, 80};
    const QColor face = orv::render::to_qcolor(orv::render::kSysButtonFace);
    for (std::size_t i = 0; i < knob_bitmaps_.size(); ++i) {
        knob_bitmaps_[i] = new QImage(knob_sizes[i], knob_sizes[i], QImage::Format_RGB32);
        knob_bitmaps_[i]->fill(face);
    }
    const QImage picture = view_picture(ctx_.program_folder);
    for (QImage*& b : view_bitmaps_) b = new QImage(picture);
    // The trace view shows it until the first frame arrives.
    TimeSerieimage->set_image(*view_bitmaps_[0]);
    // 13, 16. Scope defaults, derived values.
    orv::apply_startup_defaults(ctx_);
    redraw_knobs();
    // 14. Auto, armed.
    ctx_.current_settings.run_mode = orv::RunMode::Auto;
    ctx_.current_settings.single_armed = 1;
    highlight_run_button(1);
    scope_->select_packet_buffer(0);
    scope_->reset_roll_state();
    // 15.
    create_workers();
    // 17.
    try {
        if (const auto load = orv::load_setup_files(ctx_); !load.ok())
            return FatalStart{std::string(load.message()), std::string(load.caption())};
    } catch (...) {
        return FatalStart{std::string(orv::kSetupOtherErrorMessage), std::string(orv::kSetupErrorCaption)};
    }
    // 18. Preferences into the settings and the window.
    orv::apply_user_prefs(ctx_);
    const orv::UserPrefs& p = ctx_.user_prefs;
    for (std::size_t i = 0; i < mrl.size(); ++i) {
        mrl[i]->setStyleSheet(QStringLiteral("color: %1;")
                                  .arg(orv::render::to_qcolor(static_cast<uint32_t>(p.measure_colour[i])).name()));
        mrl[i]->setVisible(static_cast<int>(i) < p.measure_count);
    }
    label7_colour_ = static_cast<uint32_t>(p.a_colour);
    label8_colour_ = static_cast<uint32_t>(p.b_colour);
    const auto swatch = [](QLabel* l, uint32_t c) {
        l->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;")
                             .arg(orv::render::to_qcolor(c).name()));
    };
    swatch(Label7, label7_colour_);
    swatch(Label8, label8_colour_);
    swatch(Label5, static_cast<uint32_t>(p.trigger_cursor_colour));
    labela_b->setText(p.show_a_plus_b ? QStringLiteral("+") : (p.show_a_minus_b ? QStringLiteral("-") : QString()));
    Open2->setVisible(p.open_item_visible == 0);
    menu_switch();
    ToolBar1->setVisible(p.toolbar_visible != 0);
    apply_logic_menu_visibility();
    // 19. Geometry only on the screen it was saved on.
    if (screen.width() == p.screen_width && screen.height() == p.screen_height && p.main_width > 0 &&
        p.main_height > 0) {
        resize(std::min(p.main_width, screen.width()), std::min(p.main_height, screen.height()));
        const int cw = std::max(0, static_cast<int>(p.control_panel_width));
        const int mh = std::max(0, static_cast<int>(p.measure_panel_height));
        initial_split1_ = {std::max(1, p.main_width - cw), cw};
        initial_split2_ = {std::max(1, p.main_height - mh), mh};
        Splitter1->setSizes(initial_split1_);
        Splitter2->setSizes(initial_split2_);
        cursor_x1_ = p.cursor_pixels[0];
        cursor_x2_ = p.cursor_pixels[1];
        cursor_y1_ = p.cursor_pixels[2];
        cursor_y2_ = p.cursor_pixels[3];
    } else {
        // Without a window manager "maximised" is only a hint; the size makes it true.
        if (const QScreen* scr = QGuiApplication::primaryScreen()) resize(scr->availableGeometry().size());
        setWindowState(windowState() | Qt::WindowMaximized);
        ctx_.user_prefs.screen_width = screen.width();
        ctx_.user_prefs.screen_height = screen.height();
    }
    // 20.
    control_panel_open_ = initial_split1_.value(1) >= 21;
    measure_panel_open_ = initial_split2_.value(1) >= 21;
    refresh_labels();
    created_ = true;
    return std::nullopt;
}

void TMainForm::FormShow() {
    // The splitters only keep pixel sizes once the window has its final size: apply them again
    // when the window system has placed it.
    QTimer::singleShot(0, this, [this] {
        const int total1 = Splitter1->width();
        const int cw = initial_split1_.value(1);
        if (total1 > cw) Splitter1->setSizes({total1 - cw, cw});
        const int total2 = Splitter2->height();
        const int mh = initial_split2_.value(1);
        if (total2 > mh) Splitter2->setSizes({total2 - mh, mh});
    });
    scope_->start();
    scope_->set_handoff_allowed(true);
    ReadTimer->start();
    scope_->connect("Dev0");
}

void TMainForm::FormClose() {
    if (closed_ || !created_) return;
    closed_ = true;
    // 1, 2.
    scope_->set_handoff_allowed(false);
    scope_->stop();
    // 3.
    ReadTimer->stop();
    if (searchform_) {
        searchform_->timer()->stop();
        searchform_->hide();
    }
    // 4.
    for (QImage*& b : knob_bitmaps_) delete std::exchange(b, nullptr);
    // 5.
    if (scope_->link().connected()) scope_->link().close_connected();
    // 6. The trace worker finishes its pass before anything it draws with goes away.
    stop_workers();
    // 7.
    for (QImage*& b : view_bitmaps_) delete std::exchange(b, nullptr);
    // 8.
    hooks_.close_recording();
    // 9.
    orv::UserPrefs& p = ctx_.user_prefs;
    const QSize size = (windowState() & Qt::WindowMaximized) ? normalGeometry().size() : this->size();
    p.main_width = size.width() > 0 ? size.width() : width();
    p.main_height = size.height() > 0 ? size.height() : height();
    p.control_panel_width = Splitter1->sizes().value(1);
    p.measure_panel_height = Splitter2->sizes().value(1);
    p.cursor_pixels[0] = cursor_x1_;
    p.cursor_pixels[1] = cursor_x2_;
    p.cursor_pixels[2] = cursor_y1_;
    p.cursor_pixels[3] = cursor_y2_;
    p.open_item_visible = Open2->isVisible() ? 1 : 0;
    p.toolbar_visible = ToolBar1->isHidden() ? 0 : 1;
    // 10. Errors are not shown at exit.
    orv::save_user_prefs(ctx_);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    if (on_closed) on_closed();
}

} // namespace orv::ui
