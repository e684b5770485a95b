// The session in a browser's worker: there is one thread, and the session runs on it under
// ASYNCIFY, suspended in its link, its pauses and its questions while the worker goes on
// serving the page. So it starts inline, and every call it makes to the window goes straight
// through: the window's "thread" is the session's own.

#include "frontend/session_runner.h"

namespace qv {

SessionRunner::SessionRunner(std::function<void(SessionWake)> wake) : wake_(std::move(wake)) {}

// The page goes away with its worker: no session outlives this.
SessionRunner::~SessionRunner() {
    closing_ = true;
}

bool SessionRunner::Start(std::function<void()> session) {
    if (running_ || closing_) {
        return false;
    }
    running_ = true;
    session();
    running_ = false;
    wake_(SessionWake::Ended);
    return true;
}

bool SessionRunner::Running() const {
    return running_;
}

bool SessionRunner::Closing() const {
    return closing_;
}

void SessionRunner::Post(std::function<void()> call) {
    call();
}

void SessionRunner::Call(const std::function<void()>& call) {
    call();
}

// Nothing waits: every call has run where it was made.
void SessionRunner::RunCalls() {}

}  // namespace qv
