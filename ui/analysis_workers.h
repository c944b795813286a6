// SPDX-License-Identifier: MIT
// The passes of PeakThread, FFT_Thread, xy_Thread, CorrelationThread and StereoThread. Each
// works on its own job (a copy of the frame and the settings) and, for the four views, draws
// into one of two images it owns; the main thread takes the result on passDone and only then
// releases the worker.
#pragma once

#include "core/analysis/fft.h"
#include "core/analysis/peak_pass.h"
#include "render/fft_render.h"
#include "render/map_render.h"
#include "ui/worker_thread.h"

#include <QImage>
#include <QSize>

#include <functional>

namespace orv::ui {

// How many interleaved entries of a job a view draws: the display count, but never past the
// entries the job actually carries (a growing roll frame holds fewer).
uint32_t view_entries(const orv::FrameJob& job);

class PeakThread : public WorkerThread {
    Q_OBJECT
public:
    explicit PeakThread(QObject* parent = nullptr);
    // Main thread: the tracking mode, frame count and multimeter visibility of each hand-off.
    void set_options_source(std::function<void(orv::PeakPassOptions&)> source) { source_ = std::move(source); }
    // After passDone, before release().
    const orv::PeakPassOutput& output() const { return output_; }
    const orv::PeakPassOptions& options() const { return options_; }

protected:
    void prepare() override;
    void pass() override;

private:
    std::function<void(orv::PeakPassOptions&)> source_;
    orv::PeakPassOptions options_;
    orv::PeakPassOutput output_;
};

// A worker that draws into one of two images of the size its window asks for and publishes the
// other; the window keeps a shared reference to the published one, never a painted one.
class ImageWorker : public WorkerThread {
    Q_OBJECT
public:
    using WorkerThread::WorkerThread;
    void set_size_source(std::function<QSize()> source) { size_source_ = std::move(source); }
    // After passDone, before release(): the image drawn last (null when nothing was drawn).
    const QImage& image() const { return images_[last_]; }
    bool drawn() const { return drawn_; }

protected:
    void prepare() override;
    void pass() override;
    // Draws one job into `image`; true when something was drawn.
    virtual bool draw(QImage& image) = 0;

private:
    std::function<QSize()> size_source_;
    QSize size_;
    QImage images_[2];
    int last_ = 1;
    bool drawn_ = false;
};

struct FftCursorPixels {
    int cx = 0;
    int cy_a = 0;
    int cy_b = 0;
};

// The spectrum is computed on the main thread while the job is handed over (inside the frame
// dispatch); the thread only draws.
class FFT_Thread : public ImageWorker {
    Q_OBJECT
public:
    explicit FFT_Thread(QObject* parent = nullptr);
    void set_cursor_source(std::function<FftCursorPixels()> source) { cursor_source_ = std::move(source); }
    const orv::FftSpectrum& spectrum() const { return spectrum_; }
    const orv::render::FftRenderResult& result() const { return result_; }
    // The painter's job for a frame job, a spectrum and the cursor pixels.
    static orv::render::FftRenderJob make_job(const orv::FrameJob& job, const orv::FftSpectrum& spectrum,
                                              const FftCursorPixels& cursors);

protected:
    void prepare() override;
    bool draw(QImage& image) override;

private:
    std::function<FftCursorPixels()> cursor_source_;
    FftCursorPixels cursors_;
    orv::FftEngine engine_;
    orv::FftSpectrum spectrum_;
    orv::render::FftRenderResult result_;
};

class xy_Thread : public ImageWorker {
    Q_OBJECT
public:
    explicit xy_Thread(QObject* parent = nullptr);

protected:
    bool draw(QImage& image) override;

private:
    orv::render::MapScratch scratch_;
};

class CorrelationThread : public ImageWorker {
    Q_OBJECT
public:
    explicit CorrelationThread(QObject* parent = nullptr);
    const orv::render::CorrelationResult& result() const { return result_; }

protected:
    bool draw(QImage& image) override;

private:
    orv::render::CorrelationResult result_;
};

class StereoThread : public ImageWorker {
    Q_OBJECT
public:
    explicit StereoThread(QObject* parent = nullptr);

protected:
    bool draw(QImage& image) override;

private:
    orv::render::MapScratch scratch_;
};

} // namespace orv::ui
