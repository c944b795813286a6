// SPDX-License-Identifier: MIT
// The worker threads. Each owns one job at a time: the engine takes the busy flag, fills the job
// and starts the pass; the thread runs it and the main thread clears the flag once it has taken
// the result. A busy worker is skipped, so frames are dropped, never queued.
#pragma once

#include <QImage>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "core/scope/worker_jobs.h"
#include "render/time_render.h"

namespace orv::ui {

class WorkerThread : public QThread, public orv::Worker {
    Q_OBJECT
public:
    WorkerThread(const char* name, QObject* parent = nullptr);
    ~WorkerThread() override;

    bool try_acquire() override;
    orv::FrameJob& job() override { return job_; }
    void start() override;

    bool busy() const { return busy_.load(); }
    void release() { busy_.store(false); }
    // Closing: a pass in progress finishes, a waiting worker ends without another pass.
    void shutdown();
    // Waits (main thread) until no pass is running; used before the window's bitmaps go away.
    void wait_idle();
    uint64_t passes() const { return passes_.load(); }

protected:
    void run() override;
    // One pass over job(); runs on the worker thread.
    virtual void pass() {}
    // Main thread, inside start(): copy the window state the pass reads.
    virtual void prepare() {}

signals:
    void passDone();

private:
    orv::FrameJob job_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;
    bool running_pass_ = false;
    bool stop_ = false;
    std::atomic<bool> busy_{false};
    std::atomic<uint64_t> passes_{0};
    std::condition_variable idle_;
};

// What the trace renderer reads from the main window besides the frame job.
struct TimeExtras {
    int width = 0, height = 0;
    int32_t x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    uint32_t a_colour = 0, b_colour = 0;
    int32_t timebar_position = 0;
};

class TimeThread : public WorkerThread {
    Q_OBJECT
public:
    explicit TimeThread(QObject* parent = nullptr);

    // Main thread: where the window state comes from on each hand-off.
    void set_extras_source(std::function<void(TimeExtras&)> source) { source_ = std::move(source); }
    // After passDone (main thread, before release()): the image and what the pass published.
    const QImage& image(int index) const { return images_[index]; }
    int last_index() const { return last_; }
    const orv::render::TimeResult& result() const { return result_; }
    bool failed() const { return failed_; }
    const orv::render::OrdinateTable& ordinates() const { return state_.ordinates(); }

    // The render job made from a frame job and the window state (also for tests and tools).
    static orv::render::TimeJob make_job(const orv::FrameJob& job, const TimeExtras& extras);

protected:
    void pass() override;
    void prepare() override;

private:
    std::function<void(TimeExtras&)> source_;
    TimeExtras extras_;
    orv::render::TimeRenderState state_;
    QImage images_[2];
    int last_ = 1;
    orv::render::TimeResult result_;
    bool failed_ = false;
};

} // namespace orv::ui
