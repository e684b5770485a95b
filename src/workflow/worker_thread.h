#pragma once
// Runs one function on its own thread and lets a host wait for its end in the host's own way:
// the terminal simply blocks, a window keeps its event loop running until onDone wakes it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace qv {

class WorkerThread {
  public:
    WorkerThread() = default;
    // Waits for a worker still running: a worker never outlives the step that started it.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts work on a new thread. onDone, when given, runs on the worker thread after work
    // has returned and its result is stored, so that a host can wake its waiting loop.
    // Returns false when a worker of this object is still running or the thread did not start.
    bool Start(std::function<int()> work, std::function<void()> onDone = {});
    bool IsDone() const;
    // True when the worker has ended within the timeout.
    bool WaitFor(std::chrono::milliseconds timeout);
    // Waits for the end, joins the thread and returns what work returned.
    int Join();

  private:
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable doneSignal_;
    bool done_ = true;
    int result_ = 0;
};

// The plain host's wait: runs work on a worker thread and blocks until it has ended.
int RunOnWorkerThread(const std::function<int()>& work);

}  // namespace qv
