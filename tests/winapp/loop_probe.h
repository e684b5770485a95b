#pragma once
// Times the window's thread from another thread, as the system and the user see it: how long a
// message sent to the window waits for an answer, and how long an invalidated control waits to
// be painted again. A loop that blocks in a serial read or a sleep shows here at once.
//
// Every message between threads passes the Wine server, which shares the machine's cores with
// whatever else runs: when the machine stands still, every window of the program does. An idle
// window on a thread of its own is timed the same way meanwhile, and each of the window's times
// is also taken beyond the idle window's slowest answer in the same moments: what the window's
// own thread adds.

#include "winapp/windows_header.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace qv::test {

// The slowest of each, as measured and beyond the idle window's, and when each came from the
// first probe on: to find the job's step.
struct LoopTimes {
    int probes = 0;
    std::chrono::milliseconds slowestAnswer{0};
    std::chrono::milliseconds slowestAnswerAt{0};
    std::chrono::milliseconds slowestRepaint{0};
    std::chrono::milliseconds slowestRepaintAt{0};
    std::chrono::milliseconds answerBeyondIdle{0};
    std::chrono::milliseconds repaintBeyondIdle{0};
};

class LoopProbe {
  public:
    // Probes from its return on: a message sent to window, then control invalidated and watched
    // until it is painted, one after the other.
    LoopProbe(HWND window, HWND control);
    ~LoopProbe();
    LoopProbe(const LoopProbe&) = delete;
    LoopProbe& operator=(const LoopProbe&) = delete;

    // Asks the probe to stop after the probe under way; the window's loop must run until
    // Stopped, as the probe waits for it.
    void RequestStop() { stop_ = true; }
    bool Stopped() const { return stopped_; }
    // Stops probing and returns what was seen.
    LoopTimes Stop();

  private:
    using Clock = std::chrono::steady_clock;
    struct Span {
        Clock::time_point start;
        Clock::time_point end;
    };

    void Run();
    void RunIdleWindow();
    void ProbeIdleWindow();
    // The idle window's slowest answer among those under way while span lasted.
    Clock::duration IdleSlowestDuring(const Span& span);

    HWND window_;
    HWND control_;
    std::atomic<HWND> idleWindow_{nullptr};
    std::atomic<bool> idleReady_{false};
    std::atomic<DWORD> idleThreadId_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> stopped_{false};
    std::mutex idleMutex_;
    std::vector<Span> idleAnswers_;
    std::vector<Span> answers_;
    std::vector<Span> repaints_;
    LoopTimes times_;
    std::thread idleThread_;
    std::thread idleProbe_;
    std::thread thread_;
};

}  // namespace qv::test
