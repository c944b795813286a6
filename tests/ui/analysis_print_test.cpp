// SPDX-License-Identifier: MIT
// Printing and copying the analysis pictures, and the FFT cursor dragging.
#include "ui_test_environment.h"

#include "ui/fft_form.h"
#include "ui/print_support.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using orv::FftChannelDisplay;
using orv::ui::FftCursors;
using orv::ui::FftGrab;
using orv::ui::PrintFrame;

// The bounding box of the red pixels of a rendered page, as fractions of the page.
QRectF red_box(const QImage& page) {
    int x0 = page.width(), y0 = page.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0) return {};
    return QRectF(double(x0) / page.width(), double(y0) / page.height(), double(x1 + 1 - x0) / page.width(),
                  double(y1 + 1 - y0) / page.height());
}

// One document per print, the picture stretched to its frame of the printable area. The page
// is rendered from the PDF, so the check covers what a printer would get.
TEST(AnalysisPrint, PictureLandsInItsFrameOnThePage) {
    if (QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-v")}) < 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::red);
    struct Case {
        PrintFrame frame;
        double x0, y0, x1, y1; // in units of the page width / height, or of the smaller side s
        bool square;
    };
    const Case cases[] = {
        {PrintFrame::PageEighths, 1 / 8.0, 1 / 8.0, 7 / 8.0, 7 / 8.0, false},
        {PrintFrame::SquareEighths, 1 / 8.0, 1 / 8.0, 7 / 8.0, 7 / 8.0, true},
        {PrintFrame::StripTenths, 1 / 10.0, 1 / 10.0, 9 / 10.0, 2 / 10.0, true},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.frame));
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setFullPage(true); // the printable area is the whole sheet, so fractions compare directly
        printer.setPageSize(QPageSize(QPageSize::A4));
        ASSERT_TRUE(orv::ui::print_picture(printer, picture, c.frame));
        const QString stem = dir.filePath(QStringLiteral("page"));
        ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                    {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
                                     QStringLiteral("-singlefile"), pdf, stem}),
                  0);
        const QImage page(stem + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());
        const QRectF box = red_box(page);
        const double w = page.width(), h = page.height();
        const double sx = c.square ? std::min(w, h) / w : 1.0, sy = c.square ? std::min(w, h) / h : 1.0;
        const double tol = 0.01;
        EXPECT_NEAR(box.left(), c.x0 * sx, tol);
        EXPECT_NEAR(box.top(), c.y0 * sy, tol);
        EXPECT_NEAR(box.right(), c.x1 * sx, tol);
        EXPECT_NEAR(box.bottom(), c.y1 * sy, tol);
    }
}

TEST(AnalysisPrint, PrintTargetsInDevicePixels) {
    EXPECT_EQ(orv::ui::print_target(PrintFrame::PageEighths, 800, 1200), QRect(100, 150, 600, 900));
    EXPECT_EQ(orv::ui::print_target(PrintFrame::SquareEighths, 800, 1200), QRect(100, 100, 600, 600));
    EXPECT_EQ(orv::ui::print_target(PrintFrame::StripTenths, 1200, 800), QRect(80, 80, 640, 80));
}

TEST(AnalysisCopy, PictureGoesToTheClipboardOrTheFailureIsShown) {
    auto& messages = orv::test::captured_messages();
    messages.clear();
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    orv::ui::copy_picture_or_complain(picture);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixelColor(5, 5), QColor(Qt::blue));
    // A window that never drew has no picture to copy.
    orv::ui::copy_picture_or_complain(QImage());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Failed to copy image to clipboard!");
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixelColor(5, 5), QColor(Qt::blue));
}

// Cursor dragging on a 530 x 380 picture (two-channel layout: yA 199, topB 217, yB 376).
TEST(FftCursorDrag, GrabMoveAndRelease) {
    const int w = 530, h = 380;
    const orv::FftLayout l = orv::fft_layout(h, FftChannelDisplay::Both);
    FftCursors c;
    c.cx = 100;
    c.cy_a = 150;
    c.cy_b = 300;
    c.drawn_y_a = l.y_a;
    c.drawn_y_b = l.y_b;

    // Hovering shows the split shapes near a cursor.
    EXPECT_EQ(c.move(102, 10, w, h, FftChannelDisplay::Both), Qt::SplitHCursor);
    EXPECT_EQ(c.move(300, 151, w, h, FftChannelDisplay::Both), Qt::SplitVCursor);
    EXPECT_EQ(c.move(300, 151, w, h, FftChannelDisplay::BOnly), Qt::ArrowCursor); // A level not shown
    EXPECT_EQ(c.move(300, 250, w, h, FftChannelDisplay::Both), Qt::ArrowCursor);

    // The column: fraction of (width - 1), X clamped into the picture.
    c.press(98, 250, FftChannelDisplay::Both);
    EXPECT_EQ(c.grabbed, FftGrab::Column);
    EXPECT_EQ(c.move(2000, 250, w, h, FftChannelDisplay::Both), Qt::SplitVCursor);
    EXPECT_EQ(c.cx, w - 1);
    EXPECT_DOUBLE_EQ(c.fx, 1.0);
    c.release();
    EXPECT_EQ(c.grabbed, FftGrab::None);
    EXPECT_FALSE(c.dragging);

    // The A level stops at row 40 and never goes below the A baseline.
    c.cx = 400;
    c.press(200, 151, FftChannelDisplay::Both);
    EXPECT_EQ(c.grabbed, FftGrab::ALevel);
    EXPECT_EQ(c.move(200, 5, w, h, FftChannelDisplay::Both), Qt::SplitHCursor);
    EXPECT_EQ(c.cy_a, 40);
    EXPECT_DOUBLE_EQ(c.fy_a, -1.0);
    c.move(200, 390, w, h, FftChannelDisplay::Both);
    EXPECT_EQ(c.cy_a, l.y_a);
    EXPECT_DOUBLE_EQ(c.fy_a, 0.0);
    c.release();

    // The B level stops at topB in the two-channel layout, at row 40 with B alone.
    c.press(200, 301, FftChannelDisplay::Both);
    EXPECT_EQ(c.grabbed, FftGrab::BLevel);
    c.move(200, 100, w, h, FftChannelDisplay::Both);
    EXPECT_EQ(c.cy_b, l.top_b);
    EXPECT_DOUBLE_EQ(c.fy_b, -1.0);
    c.release();
    const orv::FftLayout single = orv::fft_layout(h, FftChannelDisplay::BOnly);
    c.drawn_y_b = single.y_b;
    c.press(200, l.top_b, FftChannelDisplay::BOnly);
    c.move(200, 100, w, h, FftChannelDisplay::BOnly);
    EXPECT_EQ(c.cy_b, 100);
    c.release();

    // A resize re-places the cursors from the fractions.
    c.fx = 0.5;
    c.fy_a = -0.5;
    c.fy_b = -0.25;
    c.place(301, 200, FftChannelDisplay::Both);
    const orv::FftLayout small = orv::fft_layout(200, FftChannelDisplay::Both);
    EXPECT_EQ(c.cx, 150);
    EXPECT_EQ(c.cy_a, static_cast<int>(small.y_a - 0.5 * (small.y_a - 40)));
    EXPECT_EQ(c.cy_b, static_cast<int>(small.y_b - 0.25 * (small.y_b - small.top_b)));
}

} // namespace
