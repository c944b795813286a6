// SPDX-License-Identifier: MIT
#include "ui/analysis_workers.h"

#include "render/xy_render.h"

#include <algorithm>
#include <exception>

namespace orv::ui {

uint32_t view_entries(const orv::FrameJob& job) {
    return std::min({job.display_count, job.frame_length, orv::kJobSampleCapacity});
}

namespace {

orv::render::MapJob map_job(const orv::FrameJob& job) {
    const uint32_t n = view_entries(job);
    return {std::span<const uint16_t>(job.samples.get(), n), n};
}

} // namespace

// ---- PeakThread

PeakThread::PeakThread(QObject* parent) : WorkerThread("PeakThread", parent) {}

void PeakThread::prepare() {
    if (source_) source_(options_);
}

void PeakThread::pass() { orv::run_peak_pass(job(), options_, output_); }

// ---- image workers

void ImageWorker::prepare() { size_ = size_source_ ? size_source_() : QSize(); }

void ImageWorker::pass() {
    const int next = 1 - last_;
    QImage& image = images_[next];
    try {
        if (image.size() != size_)
            image = size_.width() > 0 && size_.height() > 0 ? QImage(size_, QImage::Format_RGB32) : QImage();
        drawn_ = !image.isNull() && draw(image);
    } catch (const std::exception&) {
        drawn_ = false;
    }
    last_ = next;
}

FFT_Thread::FFT_Thread(QObject* parent) : ImageWorker("FFT_Thread", parent) {}

void FFT_Thread::prepare() {
    ImageWorker::prepare();
    if (cursor_source_) cursors_ = cursor_source_();
    const orv::FrameJob& j = job();
    const uint32_t n = std::min(j.frame_length, orv::kJobSampleCapacity);
    engine_.compute(std::span<const uint16_t>(j.samples.get(), n), n, spectrum_);
}

orv::render::FftRenderJob FFT_Thread::make_job(const orv::FrameJob& job, const orv::FftSpectrum& spectrum,
                                               const FftCursorPixels& cursors) {
    orv::render::FftRenderJob r;
    r.spectrum = &spectrum;
    r.style = orv::render::fft_style_from(job.prefs);
    r.device_model = job.device_model;
    r.time_base = job.frame_settings.time_base;
    r.a_volts_per_div = job.frame_settings.a_volts_per_div;
    r.b_volts_per_div = job.frame_settings.b_volts_per_div;
    r.volts_scale = job.volts_scale;
    r.cx = cursors.cx;
    r.cy_a = cursors.cy_a;
    r.cy_b = cursors.cy_b;
    return r;
}

bool FFT_Thread::draw(QImage& image) {
    result_ = orv::render::render_fft(make_job(job(), spectrum_, cursors_), image);
    return result_.rendered;
}

xy_Thread::xy_Thread(QObject* parent) : ImageWorker("xy_Thread", parent) {}

bool xy_Thread::draw(QImage& image) {
    const orv::FrameJob& j = job();
    orv::render::XyJob x;
    x.frame = map_job(j);
    x.background_colour = static_cast<uint32_t>(j.prefs.xy_background_colour);
    x.line_colour = static_cast<uint32_t>(j.prefs.xy_line_colour);
    x.mode = j.prefs.xy_mode != 0 ? orv::XyMode::BVsA : orv::XyMode::AVsB;
    return orv::render::render_xy(x, image, scratch_);
}

CorrelationThread::CorrelationThread(QObject* parent) : ImageWorker("CorrelationThread", parent) {}

bool CorrelationThread::draw(QImage& image) {
    result_ = orv::render::render_correlation(map_job(job()), image);
    return result_.rendered;
}

StereoThread::StereoThread(QObject* parent) : ImageWorker("StereoThread", parent) {}

bool StereoThread::draw(QImage& image) { return orv::render::render_smap(map_job(job()), image, scratch_); }

} // namespace orv::ui
