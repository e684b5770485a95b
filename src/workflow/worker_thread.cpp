#include "workflow/worker_thread.h"

#include <system_error>
#include <utility>

namespace qv {

WorkerThread::~WorkerThread() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool WorkerThread::Start(std::function<int()> work, std::function<void()> onDone) {
    {
        std::lock_guard lock(mutex_);
        if (!done_) {
            return false;
        }
        done_ = false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    try {
        thread_ = std::thread([this, work = std::move(work), onDone = std::move(onDone)] {
            const int result = work();
            {
                std::lock_guard lock(mutex_);
                result_ = result;
                done_ = true;
            }
            doneSignal_.notify_all();
            if (onDone) {
                onDone();
            }
        });
    } catch (const std::system_error&) {
        // The library reports a thread that could not start only by throwing; the core
        // reports by result.
        std::lock_guard lock(mutex_);
        done_ = true;
        result_ = 0;
        return false;
    }
    return true;
}

bool WorkerThread::IsDone() const {
    std::lock_guard lock(mutex_);
    return done_;
}

bool WorkerThread::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return doneSignal_.wait_for(lock, timeout, [this] { return done_; });
}

int WorkerThread::Join() {
    {
        std::unique_lock lock(mutex_);
        doneSignal_.wait(lock, [this] { return done_; });
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    std::lock_guard lock(mutex_);
    return result_;
}

int RunOnWorkerThread(const std::function<int()>& work) {
    WorkerThread worker;
    if (!worker.Start(work)) {
        return 0;
    }
    return worker.Join();
}

}  // namespace qv
