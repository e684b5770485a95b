#pragma once
// A USB adapter on the updater's side of the wire, as its chip passes the radio's replies on.
// An FTDI chip holds the bytes it receives until 62 gather or its latency timer runs out; every
// reply of this protocol is shorter (48 bytes at most), so each reaches the updater a whole
// timer late, or 1 ms late while the updater has low latency on. The updater's own bytes pass
// at once: the host hands them to the chip without waiting.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/simulator.h"
#include "sim/wire_line.h"

namespace qv {

class HeldReplies : public ReplyPort {
  public:
    using Clock = std::chrono::steady_clock;

    // wire: the pseudo-terminal; device: its far end, as the low-latency probe knows it.
    HeldReplies(ReplyPort& wire, SimAdapter adapter, std::string device);

    void Send(std::span<const std::uint8_t> wire) override;
    LineState UpdaterLine() override { return wire_.UpdaterLine(); }
    // The bytes still held go with the line.
    void HangUp() override;
    void ReleaseExclusive() override { wire_.ReleaseExclusive(); }

    // Passes on every reply whose time has come, in the order they were sent.
    void SendDue(Clock::time_point now);
    // When the next held reply is due; nothing while none is held.
    std::optional<Clock::time_point> NextDue() const;
    // The adapter's counts, for the simulator's report.
    void AddTo(SimReport& report) const;

  private:
    struct Held {
        std::vector<std::uint8_t> bytes;
        Clock::time_point due;
    };

    ReplyPort& wire_;
    SimAdapter adapter_;
    std::string device_;
    std::deque<Held> held_;
    Clock::time_point lastDue_{};
    long long repliesHeld_ = 0;
    long long repliesHeldLowLatency_ = 0;
};

}  // namespace qv
