#include <system_error>

#include "frontend/session_runner.h"

namespace qv {

SessionRunner::SessionRunner(std::function<void(SessionWake)> wake) : wake_(std::move(wake)) {}

SessionRunner::~SessionRunner() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    ran_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool SessionRunner::Start(std::function<void()> session) {
    {
        std::lock_guard lock(mutex_);
        if (running_ || closing_) {
            return false;
        }
        running_ = true;
    }
    // The thread of the session before has ended (running_ was cleared as its last act) or is
    // about to: its join is at most a moment.
    if (thread_.joinable()) {
        thread_.join();
    }
    try {
        thread_ = std::thread([this, session = std::move(session)] {
            session();
            {
                std::lock_guard lock(mutex_);
                running_ = false;
            }
            wake_(SessionWake::Ended);
        });
    } catch (const std::system_error&) {
        // The library reports a thread that could not start only by throwing; the core
        // reports by result.
        std::lock_guard lock(mutex_);
        running_ = false;
        return false;
    }
    return true;
}

bool SessionRunner::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool SessionRunner::Closing() const {
    std::lock_guard lock(mutex_);
    return closing_;
}

void SessionRunner::Enqueue(Queued queued) {
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return;
        }
        queue_.push_back(std::move(queued));
    }
    wake_(SessionWake::Calls);
}

void SessionRunner::Post(std::function<void()> call) {
    Enqueue({std::move(call), nullptr});
}

void SessionRunner::Call(const std::function<void()>& call) {
    bool done = false;
    Enqueue({call, &done});
    std::unique_lock lock(mutex_);
    ran_.wait(lock, [this, &done] { return done || closing_; });
}

void SessionRunner::RunCalls() {
    for (;;) {
        Queued next;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return;
            }
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        next.call();
        if (next.done != nullptr) {
            {
                std::lock_guard lock(mutex_);
                *next.done = true;
            }
            ran_.notify_all();
        }
    }
}

}  // namespace qv
