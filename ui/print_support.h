// SPDX-License-Identifier: MIT
// Printing and copying the pictures of the analysis windows, and the picture component they
// show. Each print is one document on the application's printer; each copy puts the picture on
// the clipboard or says that it could not.
#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>

class QMenu;
class QPrinter;

namespace orv::ui {

inline constexpr const char* kCopyImageFailed = "Failed to copy image to clipboard!";

// Where a picture goes on the page.
enum class PrintFrame {
    PageEighths,   // (w/8, h/8) to (7w/8, 7h/8): the FFT view
    SquareEighths, // s = min(w, h): (s/8, s/8) to (7s/8, 7s/8): the X-Y plot and the S map
    StripTenths,   // s = min(w, h): (s/10, s/10) to (9s/10, 2s/10): the C map
};
QRect print_target(PrintFrame frame, int page_width, int page_height);

// The printer "Print Setup" configures and every print uses.
QPrinter& application_printer();
// Prints `image` stretched to its frame as one document; false when the printer would not start.
bool print_picture(QPrinter& printer, const QImage& image, PrintFrame frame);
// The page set-up dialog of the application printer.
void run_print_setup(QWidget* parent);
// The system print dialog, then the print.
void print_with_dialog(QWidget* parent, const QImage& image, PrintFrame frame);

// Puts the picture on the clipboard; false when there is no picture or the clipboard refused it.
bool copy_picture(const QImage& image);
// As copy_picture, with the failure message.
void copy_picture_or_complain(const QImage& image);

// The picture component of an analysis window: shows the image its worker drew last.
class ViewImage : public QWidget {
    Q_OBJECT
public:
    explicit ViewImage(QWidget* parent = nullptr);
    void set_image(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class ImageWorker;

// An analysis window whose only content is its picture component, with the pop-up menu
// ["Setup ..."], "Print Setup", "Print ...", "Copy", "Close". Closing only hides it.
class PictureWindow : public QDialog {
    Q_OBJECT
public:
    struct Description {
        const char* class_name;
        const char* caption;
        const char* picture_name;
        const char* setup_item;   // nullptr: no setup item
        const char* print_item;
        const char* close_item;
        PrintFrame frame;
    };
    explicit PictureWindow(const Description& description, QWidget* parent = nullptr);

    ViewImage* picture() const { return picture_; }
    QMenu* popup() const { return popup_; }
    // Main thread, after the worker's pass: show what it drew.
    void take_result(const ImageWorker& worker);
    void print_picture_with_dialog();
    void copy_picture();

    std::function<void()> on_setup;
    std::function<void(bool)> on_visibility;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ViewImage* picture_ = nullptr;
    QMenu* popup_ = nullptr;
    PrintFrame frame_;
};

} // namespace orv::ui
