#pragma once
// Runs a window's session (a job, and the next-radio loop after it) away from the window's
// thread, and brings what the session shows and asks back to that thread, in order. The window's
// thread never runs a step, so it keeps painting through every wait of the job.
//
// Natively the session has a thread of its own and its calls wait in a queue until the window's
// thread, woken, runs them. In a browser's worker the page's one thread runs the session under
// ASYNCIFY and every call goes straight through: one implementation file each.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qv {

// Why the window's thread is woken: the session has something to show, or has ended (its last
// calls are queued before this wake).
enum class SessionWake { Calls, Ended };

class SessionRunner {
  public:
    // wake: called on the session's thread; the window's thread is to call RunCalls soon.
    explicit SessionRunner(std::function<void(SessionWake)> wake);
    // Releases a session that waits for the window's thread (its calls are dropped, Closing
    // tells it) and waits for its end.
    ~SessionRunner();
    SessionRunner(const SessionRunner&) = delete;
    SessionRunner& operator=(const SessionRunner&) = delete;

    // Starts the session; false when one still runs or no thread could be started.
    bool Start(std::function<void()> session);
    // A session has started and not yet ended.
    bool Running() const;
    // The runner is going away: a session asked to stop sees it here.
    bool Closing() const;

    // From the session's thread: runs call on the window's thread after the calls before it.
    void Post(std::function<void()> call);
    // The same, and waits until it has run.
    void Call(const std::function<void()>& call);
    // On the window's thread, when woken: runs the calls queued so far.
    void RunCalls();

  private:
    struct Queued {
        std::function<void()> call;
        bool* done = nullptr;  // set once it has run; nothing for a posted call
    };

    void Enqueue(Queued queued);

    std::function<void(SessionWake)> wake_;
    mutable std::mutex mutex_;
    std::condition_variable ran_;
    std::deque<Queued> queue_;
    bool running_ = false;
    bool closing_ = false;
    std::thread thread_;
};

}  // namespace qv
