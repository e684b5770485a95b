#include "loop_probe.h"

#include <algorithm>

namespace qv::test {

namespace {

using namespace std::chrono_literals;

// Between two probes of the window: often enough to catch any wait of the job's length.
constexpr auto kProbeInterval = 20ms;
// Between two probes of the idle window: each moment of the window's probes has one under way.
constexpr auto kIdleProbeInterval = 5ms;
// How often a control is looked at while it waits to be painted, and a thread to be ready.
constexpr auto kLook = 2ms;
// A window that does not answer within this is as good as hung: the probe stops waiting.
constexpr auto kGiveUp = 10s;

std::chrono::milliseconds Ms(std::chrono::steady_clock::duration time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time);
}

// The system makes a thread's message queue at its first window call, which takes its time:
// made before anything is timed, so that it is not taken for the window's.
void MakeMessageQueue() {
    MSG none;
    PeekMessageW(&none, nullptr, 0, 0, PM_NOREMOVE);
}

bool Answered(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                               static_cast<UINT>(std::chrono::milliseconds(kGiveUp).count()),
                               &result) != 0;
}

}  // namespace

LoopProbe::LoopProbe(HWND window, HWND control)
    : window_(window), control_(control), idleThread_([this] { RunIdleWindow(); }) {
    while (!idleReady_) {
        std::this_thread::sleep_for(kLook);
    }
    idleProbe_ = std::thread([this] { ProbeIdleWindow(); });
    std::atomic<bool> ready{false};
    thread_ = std::thread([this, &ready] {
        MakeMessageQueue();
        ready = true;
        Run();
    });
    while (!ready) {
        std::this_thread::sleep_for(kLook);
    }
}

LoopProbe::~LoopProbe() {
    Stop();
}

LoopTimes LoopProbe::Stop() {
    if (!thread_.joinable()) {
        return times_;
    }
    stop_ = true;
    thread_.join();
    idleProbe_.join();
    PostThreadMessageW(idleThreadId_, WM_QUIT, 0, 0);
    idleThread_.join();

    const Clock::time_point first = answers_.empty() ? Clock::now() : answers_.front().start;
    const auto note = [&](const std::vector<Span>& spans, std::chrono::milliseconds& slowest,
                          std::chrono::milliseconds& at, std::chrono::milliseconds& beyondIdle) {
        for (const Span& span : spans) {
            const auto took = span.end - span.start;
            if (took > slowest) {
                slowest = Ms(took);
                at = Ms(span.start - first);
            }
            beyondIdle = std::max(beyondIdle, Ms(took - IdleSlowestDuring(span)));
        }
    };
    times_.probes = static_cast<int>(repaints_.size());
    note(answers_, times_.slowestAnswer, times_.slowestAnswerAt, times_.answerBeyondIdle);
    note(repaints_, times_.slowestRepaint, times_.slowestRepaintAt, times_.repaintBeyondIdle);
    return times_;
}

void LoopProbe::Run() {
    while (!stop_) {
        Span answer{Clock::now(), {}};
        Answered(window_);
        answer.end = Clock::now();
        answers_.push_back(answer);

        Span repaint{Clock::now(), {}};
        InvalidateRect(control_, nullptr, FALSE);
        while (GetUpdateRect(control_, nullptr, FALSE) != 0 &&
               Clock::now() - repaint.start < kGiveUp) {
            std::this_thread::sleep_for(kLook);
        }
        repaint.end = Clock::now();
        repaints_.push_back(repaint);
        std::this_thread::sleep_for(kProbeInterval);
    }
    stopped_ = true;
}

// A window that only answers: a message-only window on a thread that does nothing else.
void LoopProbe::RunIdleWindow() {
    idleThreadId_ = GetCurrentThreadId();
    const HWND idle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    idleWindow_ = idle;
    idleReady_ = true;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    DestroyWindow(idle);
}

void LoopProbe::ProbeIdleWindow() {
    MakeMessageQueue();
    while (!stop_) {
        Span answer{Clock::now(), {}};
        Answered(idleWindow_);
        answer.end = Clock::now();
        {
            std::lock_guard lock(idleMutex_);
            idleAnswers_.push_back(answer);
        }
        std::this_thread::sleep_for(kIdleProbeInterval);
    }
}

LoopProbe::Clock::duration LoopProbe::IdleSlowestDuring(const Span& span) {
    std::lock_guard lock(idleMutex_);
    Clock::duration slowest{0};
    for (const Span& idle : idleAnswers_) {
        if (idle.start < span.end && idle.end > span.start) {
            slowest = std::max(slowest, idle.end - idle.start);
        }
    }
    return slowest;
}

}  // namespace qv::test
