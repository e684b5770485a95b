// The simulator's thread: reads the pseudo-terminal at once, tags each byte with the line of
// that moment and hands it to the boot loader, later when bytes take their time on the wire.

#include "sim/simulator.h"

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "sim/boot_loader.h"
#include "sim/held_replies.h"
#include "sim/pty_transport.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

// A radio's UART notes each byte the moment it arrives. The simulator's clock reading stands in
// for that moment, so its thread wakes at real-time priority where the system allows: on a
// busy machine a late wake-up would move a frame's modelled end and shorten the gap after it.
void RaiseToRealTime() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

// How often the boot loader looks at the updater's line when no byte comes: the updater
// pauses 100 ms after each change of its line, so this sees every change in time.
constexpr std::chrono::milliseconds kTickInterval{5};

struct Arrival {
    TaggedByte byte;
    bool updaterClosed = false;  // a marker: the updater closed its end here
    Clock::time_point due;
};

}  // namespace

struct Simulator::State {
    SimulatorOptions options;
    PtyTransport transport;
    std::unique_ptr<HeldReplies> replies;  // the adapter between the radio and the updater
    std::unique_ptr<BootLoader> loader;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::atomic<bool> stopping{false};
    bool finished = false;  // guarded by mutex
    std::thread thread;
    std::array<int, 2> wake{-1, -1};
    std::deque<Arrival> pending;
    Clock::time_point lastDue{};
    LineState lastLine;  // the line of the last byte queued

    void Run();
    void Queue(const TaggedByte& byte, bool closed, Clock::time_point now);
    void HandleDue(Clock::time_point now);
    int PollTimeoutMs(Clock::time_point now) const;
    SimReport FullReport() const;  // the boot loader's and the adapter's
};

void Simulator::State::Queue(const TaggedByte& byte, bool closed, Clock::time_point now) {
    Clock::time_point due = now;
    if (options.lineRate && !closed && byte.line != lastLine) {
        // On a cable the updater's change of line waits until its bytes have left; a
        // pseudo-terminal does not wait, so the bytes still on the wire arrive at once.
        for (Arrival& arrival : pending) {
            arrival.due = std::min(arrival.due, now);
        }
        lastDue = now;
        lastLine = byte.line;
    }
    if (options.lineRate) {
        due = std::max(now, lastDue);
        if (!closed) {
            due += ByteTimeOnWire(byte.line);
        }
        lastDue = due;
    }
    TaggedByte stamped = byte;
    stamped.arrived = now;
    pending.push_back(Arrival{stamped, closed, due});
}

void Simulator::State::HandleDue(Clock::time_point now) {
    std::lock_guard lock(mutex);
    while (!pending.empty() && pending.front().due <= now && !loader->HungUp()) {
        const Arrival arrival = pending.front();
        pending.pop_front();
        if (arrival.updaterClosed) {
            loader->OnUpdaterClosed();
        } else {
            loader->OnByte(arrival.byte, arrival.due);
        }
    }
    loader->OnTick(now);
    replies->SendDue(Clock::now());
    // The last radio's last reply may still be in the adapter: it goes before the end.
    if (loader->HungUp() || (loader->AllRadiosLeft() && !replies->NextDue())) {
        finished = true;
    }
    changed.notify_all();
}

int Simulator::State::PollTimeoutMs(Clock::time_point now) const {
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kTickInterval);
    const auto wakeBy = [&](Clock::time_point due) {
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(due - now);
        wait = std::clamp(untilDue, std::chrono::milliseconds(0), wait);
    };
    if (!pending.empty()) {
        wakeBy(pending.front().due);
    }
    if (const auto reply = replies->NextDue()) {
        wakeBy(*reply);
    }
    return static_cast<int>(wait.count());
}

SimReport Simulator::State::FullReport() const {
    SimReport report = loader->Report();
    replies->AddTo(report);
    return report;
}

void Simulator::State::Run() {
    if (options.lineRate) {
        RaiseToRealTime();
    }
    std::vector<TaggedByte> arrived;
    while (!stopping.load()) {
        std::array<pollfd, 3> fds = {pollfd{transport.MasterFd(), POLLIN, 0},
                                     pollfd{transport.WatchFd(), POLLIN, 0},
                                     pollfd{wake[0], POLLIN, 0}};
        ::poll(fds.data(), fds.size(), PollTimeoutMs(Clock::now()));
        const Clock::time_point now = Clock::now();
        arrived.clear();
        transport.ReadArrived(arrived);  // first the bytes, then the close that followed them
        for (const TaggedByte& byte : arrived) {
            Queue(byte, false, now);
        }
        if (transport.TakeUpdaterClosed()) {
            Queue(TaggedByte{}, true, now);
        }
        HandleDue(now);
        std::lock_guard lock(mutex);
        if (finished) {
            break;
        }
    }
    std::lock_guard lock(mutex);
    finished = true;
    changed.notify_all();
}

std::unique_ptr<Simulator> Simulator::Start(const SimulatorOptions& options) {
    auto state = std::make_unique<State>();
    state->options = options;
    if (!state->transport.Open() || ::pipe(state->wake.data()) != 0) {
        return nullptr;
    }
    State* raw = state.get();
    state->replies = std::make_unique<HeldReplies>(state->transport, options.adapter,
                                                   state->transport.FarEndPath());
    SimulatorOptions loaderOptions = options;
    if (options.onJobEnd) {
        // The report a job's end hands on holds the adapter's counts too.
        loaderOptions.onJobEnd = [raw, onJobEnd = options.onJobEnd](
                                     const SimReport& report, std::span<const std::uint8_t> flash) {
            SimReport full = report;
            raw->replies->AddTo(full);
            onJobEnd(full, flash);
        };
    }
    state->loader = std::make_unique<BootLoader>(loaderOptions, *state->replies);
    state->thread = std::thread([raw] { raw->Run(); });
    return std::unique_ptr<Simulator>(new Simulator(std::move(state)));
}

Simulator::Simulator(std::unique_ptr<State> state) : state_(std::move(state)) {}

Simulator::~Simulator() {
    Stop();
    for (int& fd : state_->wake) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

std::string Simulator::DevicePath() const {
    return state_->transport.FarEndPath();
}

SimReport Simulator::Report() const {
    std::lock_guard lock(state_->mutex);
    return state_->FullReport();
}

std::vector<std::uint8_t> Simulator::Flash() const {
    std::lock_guard lock(state_->mutex);
    return state_->loader->Flash();
}

bool Simulator::WaitForJobs(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] {
        return state_->loader->Report().jobs >= count || state_->finished;
    }) && state_->loader->Report().jobs >= count;
}

bool Simulator::Finished() const {
    std::lock_guard lock(state_->mutex);
    return state_->finished;
}

void Simulator::Stop() {
    if (!state_->thread.joinable()) {
        return;
    }
    state_->stopping.store(true);
    const std::uint8_t wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(state_->wake[1], &wake, 1);
    state_->thread.join();
    state_->transport.Close();
}

}  // namespace qv
