// SPDX-License-Identifier: MIT
#include "ui/print_support.h"

#include "ui/analysis_workers.h"
#include "ui/message_forms.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <memory>

namespace orv::ui {

QRect print_target(PrintFrame frame, int w, int h) {
    switch (frame) {
    case PrintFrame::PageEighths: return QRect(QPoint(w / 8, h / 8), QPoint(7 * w / 8 - 1, 7 * h / 8 - 1));
    case PrintFrame::SquareEighths: {
        const int s = std::min(w, h);
        return QRect(QPoint(s / 8, s / 8), QPoint(7 * s / 8 - 1, 7 * s / 8 - 1));
    }
    case PrintFrame::StripTenths: {
        const int s = std::min(w, h);
        return QRect(QPoint(s / 10, s / 10), QPoint(9 * s / 10 - 1, 2 * s / 10 - 1));
    }
    }
    return {};
}

QPrinter& application_printer() {
    static std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

bool print_picture(QPrinter& printer, const QImage& image, PrintFrame frame) {
    QPainter p;
    if (!p.begin(&printer)) return false;
    // The printable area in device pixels, as the page's width and height.
    const QRect target = print_target(frame, printer.width(), printer.height());
    if (!image.isNull()) p.drawImage(target, image);
    return p.end();
}

void run_print_setup(QWidget* parent) {
    QPageSetupDialog dialog(&application_printer(), parent);
    dialog.exec();
}

void print_with_dialog(QWidget* parent, const QImage& image, PrintFrame frame) {
    // The picture is taken now: the worker may publish a newer one while the dialog is open.
    const QImage picture = image.copy();
    QPrintDialog dialog(&application_printer(), parent);
    if (dialog.exec() != QDialog::Accepted) return;
    print_picture(application_printer(), picture, frame);
}

bool copy_picture(const QImage& image) {
    if (image.isNull()) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setImage(image.copy());
    const QMimeData* data = clipboard->mimeData();
    return data && data->hasImage();
}

void copy_picture_or_complain(const QImage& image) {
    if (!copy_picture(image)) show_message_box(kCopyImageFailed, "RTM5800");
}

ViewImage::ViewImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(1, 1);
}

void ViewImage::set_image(const QImage& image) {
    image_ = image;
    update();
}

void ViewImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    p.drawImage(0, 0, image_);
    // A picture older than the latest resize leaves the rest of the component dark.
    if (image_.width() < width()) p.fillRect(image_.width(), 0, width() - image_.width(), height(), Qt::black);
    if (image_.height() < height()) p.fillRect(0, image_.height(), width(), height() - image_.height(), Qt::black);
}

PictureWindow::PictureWindow(const Description& description, QWidget* parent) : QDialog(parent), frame_(description.frame) {
    setObjectName(QString::fromLatin1(description.class_name));
    setWindowTitle(QString::fromLatin1(description.caption));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* client = new QVBoxLayout(this);
    client->setContentsMargins(0, 0, 0, 0);
    picture_ = new ViewImage(this);
    picture_->setObjectName(QString::fromLatin1(description.picture_name));
    picture_->installEventFilter(this);
    client->addWidget(picture_);

    popup_ = new QMenu(this);
    if (description.setup_item) {
        popup_->addAction(QString::fromLatin1(description.setup_item), this, [this] {
            if (on_setup) on_setup();
        });
    }
    popup_->addAction(QStringLiteral("Print Setup"), this, [this] { run_print_setup(this); });
    popup_->addAction(QString::fromLatin1(description.print_item), this, [this] { print_picture_with_dialog(); });
    popup_->addAction(QStringLiteral("Copy"), this, [this] { copy_picture(); });
    popup_->addAction(QString::fromLatin1(description.close_item), this, &QWidget::hide);
}

void PictureWindow::take_result(const ImageWorker& worker) {
    if (worker.drawn()) picture_->set_image(worker.image());
}

void PictureWindow::print_picture_with_dialog() { print_with_dialog(this, picture_->image(), frame_); }

void PictureWindow::copy_picture() { copy_picture_or_complain(picture_->image()); }

bool PictureWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::ContextMenu) {
        popup_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PictureWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (on_visibility) on_visibility(true);
}

void PictureWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (on_visibility) on_visibility(false);
}

} // namespace orv::ui
