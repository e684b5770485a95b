#include "pause_budget.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "protocol/protocol_timing.h"
#include "serial/spin_wait.h"

namespace qv::bench {

namespace {

using std::chrono::milliseconds;

constexpr int kSleepSamples = 100;  // half a second
constexpr int kSpinSamples = 21;    // half a second

// A sleep or a time-out overshoots by a fixed amount; a spin is stretched in proportion.
struct Costing {
    const PauseCosts& costs;
    Seconds Sleep(milliseconds d) const { return Seconds(d) + (costs.sleep5 - Seconds(5ms)); }
    Seconds Spin(milliseconds d) const { return Seconds(d) * (costs.spin25 / Seconds(25ms)); }
    Seconds SpeedChange() const { return Spin(kSpeedChangeLead) + Spin(kLineChangeSettle); }
};

Seconds LinkUp(const JobShape& shape, const Costing& c) {
    // An attempt nobody answers: the line change, then every SYN poll times out.
    const Seconds silent = c.Spin(kLineChangeSettle) +
                           kLinkUpPolls * (c.Sleep(kLinkUpReadTimeout) + c.Sleep(kSynPollPause));
    // The answered attempt: SYN and ACK come at the first poll, after each line change.
    const Seconds answered = 2 * c.Spin(kLineChangeSettle);
    return shape.silentAttempts * silent + answered;
}

Seconds Preparation(const JobShape& shape, const Costing& c) {
    Seconds total =
        c.Spin(kPortOpenSettle) + c.Spin(kLineChangeSettle) + c.Spin(kHighSpeedSwitchSettle);
    if (!shape.highSpeed) {
        // No ACK at 115200 within the handshake's time-out, then back to 19200.
        total += c.Sleep(kHighSpeedRequestTimeout) + c.Spin(kLineChangeSettle) +
                 c.Spin(kLowSpeedReturnSettle);
    }
    return total;
}

Seconds Transfer(const JobShape& shape, const Costing& c) {
    if (shape.highSpeed) {
        return c.SpeedChange() + shape.blocks * c.Sleep(kAcknowledgedBlockPause);
    }
    const int resyncs = shape.blocks > 0 ? (shape.blocks - 1) / shape.roundsPerWrite : 0;
    return c.SpeedChange() + shape.streamedWireTime + shape.blocks * c.Spin(kStreamedBlockPause) +
           resyncs * 2 * c.SpeedChange() + c.SpeedChange();
}

}  // namespace

PauseCosts MeasurePauseCosts() {
    using Clock = std::chrono::steady_clock;
    // The median: a burst of another program's work during the few samples must not stand
    // for what the machine takes.
    auto median = [](auto pause, int samples) {
        std::vector<Seconds> taken;
        for (int i = 0; i < samples; ++i) {
            const auto start = Clock::now();
            pause();
            taken.push_back(Clock::now() - start);
        }
        std::nth_element(taken.begin(), taken.begin() + samples / 2, taken.end());
        return taken[static_cast<std::size_t>(samples / 2)];
    };
    PauseCosts costs;
    costs.sleep5 = median([] { std::this_thread::sleep_for(5ms); }, kSleepSamples);
    costs.spin25 = median([] { SpinWait(25ms); }, kSpinSamples);
    return costs;
}

Seconds PauseBudget(const JobShape& shape, const PauseCosts& costs) {
    const Costing c{costs};
    return LinkUp(shape, c) + Preparation(shape, c) + Transfer(shape, c);
}

}  // namespace qv::bench
