// SPDX-License-Identifier: MIT
#include "ui/fft_form.h"

#include "core/scope/user_prefs.h"
#include "ui/print_support.h"

#include <QContextMenuEvent>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace orv::ui {

// ---- cursors

void FftCursors::press(int x, int y, FftChannelDisplay display) {
    dragging = true;
    if (std::abs(x - cx) <= kTolerance) grabbed = FftGrab::Column;
    else if (std::abs(y - cy_a) <= kTolerance && display != FftChannelDisplay::BOnly) grabbed = FftGrab::ALevel;
    else if (std::abs(y - cy_b) <= kTolerance && display != FftChannelDisplay::AOnly) grabbed = FftGrab::BLevel;
    else grabbed = FftGrab::None;
}

Qt::CursorShape FftCursors::move(int x, int y, int width, int height, FftChannelDisplay display) {
    const FftLayout l = fft_layout(height, display);
    x = std::clamp(x, 0, std::max(0, width - 1));
    if (grabbed == FftGrab::None) {
        if (std::abs(x - cx) <= kTolerance) return Qt::SplitHCursor;
        const bool near_a = std::abs(y - cy_a) <= kTolerance && display != FftChannelDisplay::BOnly;
        const bool near_b = std::abs(y - cy_b) <= kTolerance && display != FftChannelDisplay::AOnly;
        return near_a || near_b ? Qt::SplitVCursor : Qt::ArrowCursor;
    }
    if (!dragging) return Qt::ArrowCursor;
    y = std::max(y, kFftTextRows);
    switch (grabbed) {
    case FftGrab::Column:
        cx = x;
        if (width > 1) fx = static_cast<double>(x) / (width - 1);
        return Qt::SplitVCursor;
    case FftGrab::ALevel:
        cy_a = std::min(y, drawn_y_a);
        if (l.y_a > kFftTextRows) fy_a = static_cast<double>(cy_a - l.y_a) / (l.y_a - kFftTextRows);
        return Qt::SplitHCursor;
    case FftGrab::BLevel:
        if (display != FftChannelDisplay::BOnly) y = std::max(y, l.top_b);
        cy_b = std::min(y, drawn_y_b);
        if (l.top_b < l.y_b) fy_b = static_cast<double>(cy_b - l.y_b) / (l.y_b - l.top_b);
        return Qt::SplitHCursor;
    case FftGrab::None: break;
    }
    return Qt::ArrowCursor;
}

void FftCursors::release() {
    dragging = false;
    grabbed = FftGrab::None;
}

void FftCursors::place(int width, int height, FftChannelDisplay display) {
    const FftLayout l = fft_layout(height, display);
    cx = static_cast<int>((width - 1) * fx);
    cy_a = static_cast<int>(l.y_a + (l.y_a - kFftTextRows) * fy_a);
    cy_b = static_cast<int>(l.y_b + (l.y_b - l.top_b) * fy_b);
    // Until the next drawing publishes its layout, this one bounds the level cursors.
    drawn_y_a = l.y_a;
    drawn_y_b = l.y_b;
}

// ---- window

TFFT_Form::TFFT_Form(orv::UserPrefs& prefs, QWidget* parent) : QDialog(parent), prefs_(prefs) {
    setObjectName(QStringLiteral("TFFT_Form"));
    setWindowTitle(QStringLiteral("FFT View"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont f(QStringLiteral("Arial"), 8);
    f.setBold(true);
    setFont(f);
    setMinimumSize(200, 200);
    resize(530, 390);
    if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());

    fftPanel1 = new QWidget(this);
    fftPanel1->setObjectName(QStringLiteral("fftPanel1"));
    auto* client = new QVBoxLayout(this);
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(fftPanel1);
    fftPanel1->installEventFilter(this);
    FFT_map = new ViewImage(fftPanel1);
    FFT_map->setObjectName(QStringLiteral("FFT_map"));
    FFT_map->setMouseTracking(true);
    FFT_map->installEventFilter(this);

    popup = new QMenu(this);
    popup->addAction(QStringLiteral("Setup FFT Window"), this, [this] {
        if (on_setup) on_setup();
    });
    popup->addAction(QStringLiteral("Print Setup"), this, [this] { run_print_setup(this); });
    popup->addAction(QStringLiteral("Print FFT Window"), this,
                     [this] { print_with_dialog(this, FFT_map->image(), PrintFrame::PageEighths); });
    popup->addAction(QStringLiteral("Copy"), this, [this] { copy_picture_or_complain(FFT_map->image()); });
    popup->addAction(QStringLiteral("Close"), this, &QWidget::hide);

    // The live cursors start from the saved pixels; the fractions keep them in place on resizes.
    cursors_.cx = prefs_.fftview_cursor_pixels[0];
    cursors_.cy_a = prefs_.fftview_cursor_pixels[1];
    cursors_.cy_b = prefs_.fftview_cursor_pixels[2];
    cursors_.fx = prefs_.fftview_cursor_fractions[0];
    cursors_.fy_a = prefs_.fftview_cursor_fractions[1];
    cursors_.fy_b = prefs_.fftview_cursor_fractions[2];
    const FftLayout l = fft_layout(390 - 10, display());
    cursors_.drawn_y_a = l.y_a;
    cursors_.drawn_y_b = l.y_b;
}

FftChannelDisplay TFFT_Form::display() const {
    return prefs_.fftview_channel_display == 1   ? FftChannelDisplay::AOnly
           : prefs_.fftview_channel_display == 2 ? FftChannelDisplay::BOnly
                                                 : FftChannelDisplay::Both;
}

void TFFT_Form::store_cursors() {
    // The record always holds the live values, so closing the program or saving a mode file
    // finds them there.
    prefs_.fftview_cursor_pixels[0] = cursors_.cx;
    prefs_.fftview_cursor_pixels[1] = cursors_.cy_a;
    prefs_.fftview_cursor_pixels[2] = cursors_.cy_b;
    prefs_.fftview_cursor_fractions[0] = cursors_.fx;
    prefs_.fftview_cursor_fractions[1] = cursors_.fy_a;
    prefs_.fftview_cursor_fractions[2] = cursors_.fy_b;
}

void TFFT_Form::take_result(const FFT_Thread& worker) {
    if (!worker.drawn()) return;
    cursors_.drawn_y_a = worker.result().layout.y_a;
    cursors_.drawn_y_b = worker.result().layout.y_b;
    FFT_map->set_image(worker.image());
}

void TFFT_Form::fftPanel1Resize() {
    FFT_map->setGeometry(5, 5, std::max(1, fftPanel1->width() - 10), std::max(1, fftPanel1->height() - 10));
    cursors_.place(FFT_map->width(), FFT_map->height(), display());
    store_cursors();
}

bool TFFT_Form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fftPanel1 && event->type() == QEvent::Resize) {
        fftPanel1Resize();
        return false;
    }
    if (watched != FFT_map) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && prefs_.fftview_cursor_on)
            cursors_.press(e->position().toPoint().x(), e->position().toPoint().y(), display());
        return false;
    }
    case QEvent::MouseMove: {
        if (!prefs_.fftview_cursor_on) return false;
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint p = e->position().toPoint();
        FFT_map->setCursor(cursors_.move(p.x(), p.y(), FFT_map->width(), FFT_map->height(), display()));
        if (cursors_.dragging && cursors_.grabbed != FftGrab::None) store_cursors();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && prefs_.fftview_cursor_on) {
            cursors_.release();
            FFT_map->setCursor(Qt::ArrowCursor);
        }
        return false;
    }
    case QEvent::ContextMenu:
        popup->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default: return false;
    }
}

void TFFT_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (on_visibility) on_visibility(true);
}

void TFFT_Form::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (on_visibility) on_visibility(false);
}

} // namespace orv::ui
