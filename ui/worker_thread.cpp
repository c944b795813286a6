// SPDX-License-Identifier: MIT
#include "ui/worker_thread.h"

#include "render/time_job_from_settings.h"

#include <exception>

namespace orv::ui {

WorkerThread::WorkerThread(const char* name, QObject* parent) : QThread(parent) {
    setObjectName(QString::fromLatin1(name));
}

WorkerThread::~WorkerThread() { shutdown(); }

bool WorkerThread::try_acquire() {
    bool expected = false;
    return busy_.compare_exchange_strong(expected, true);
}

void WorkerThread::start() {
    prepare();
    {
        std::lock_guard lock(mutex_);
        if (stop_) {
            busy_.store(false);
            return;
        }
        pending_ = true;
    }
    if (!isRunning()) QThread::start();
    wake_.notify_one();
}

void WorkerThread::shutdown() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    if (isRunning()) wait();
}

void WorkerThread::wait_idle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !running_pass_; });
}

void WorkerThread::run() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return pending_ || stop_; });
            if (stop_) return;
            pending_ = false;
            running_pass_ = true;
        }
        pass();
        passes_.fetch_add(1);
        {
            std::lock_guard lock(mutex_);
            running_pass_ = false;
        }
        idle_.notify_all();
        emit passDone();
    }
}

TimeThread::TimeThread(QObject* parent) : WorkerThread("TimeThread", parent) {}

void TimeThread::prepare() {
    if (source_) source_(extras_);
}

orv::render::TimeJob TimeThread::make_job(const orv::FrameJob& job, const TimeExtras& extras) {
    orv::render::TimeJob t = orv::render::time_job_from_settings(
        job.current_settings, job.frame_settings, job.prefs, job.device_model, job.volts_scale);
    const uint32_t count = std::min<uint32_t>(job.display_count, orv::kJobSampleCapacity);
    t.samples = std::span<const uint16_t>(job.samples.get(), count);
    t.record_length = static_cast<int32_t>(count);
    t.fill_position = static_cast<int32_t>(job.frame_length);
    t.view_centre = job.view_centre;
    t.timebar_position = extras.timebar_position;
    t.show_a = job.controls.show_a;
    t.show_b = job.controls.show_b;
    t.show_markers = job.controls.show_trigger;
    t.a_colour = extras.a_colour;
    t.b_colour = extras.b_colour;
    t.x1 = extras.x1;
    t.x2 = extras.x2;
    t.y1 = extras.y1;
    t.y2 = extras.y2;
    return t;
}

void TimeThread::pass() {
    const int next = 1 - last_;
    QImage& image = images_[next];
    try {
        if (extras_.width != image.width() || extras_.height != image.height()) {
            image = extras_.width > 0 && extras_.height > 0
                        ? QImage(extras_.width, extras_.height, QImage::Format_RGB32)
                        : QImage();
        }
        const orv::render::TimeJob t = make_job(job(), extras_);
        result_ = orv::render::render_time(t, image, state_);
        failed_ = false;
    } catch (const std::exception&) {
        failed_ = true;
    } catch (...) {
        failed_ = true;
    }
    last_ = next;
}

} // namespace orv::ui
