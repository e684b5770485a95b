#pragma once
// A boot loader's link-up on the master side of a pseudo-terminal: it hears only at the
// speeds it listens at (it reads the line's speed from its side and drops bytes sent at
// another), answers a probe with SYN there and ACK once the line is at 19200 baud.

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "pty_pair.h"

namespace qv::test {

struct HeardProbe {
    unsigned baud = 0;
    int stopBits = 0;
};

class LinkUpFarEnd {
  public:
    // ackWithheld: how many SYNs go without an ACK before the far end answers fully.
    LinkUpFarEnd(const PtyPair& pty, std::set<unsigned> listenBauds, int ackWithheld = 0);
    ~LinkUpFarEnd();
    LinkUpFarEnd(const LinkUpFarEnd&) = delete;
    LinkUpFarEnd& operator=(const LinkUpFarEnd&) = delete;

    // Every probe that went over the wire, at whatever speed, in order.
    std::vector<HeardProbe> Probes();
    void Stop();

  private:
    void Run();
    void Heard(const std::vector<std::uint8_t>& chunk);

    const PtyPair& pty_;
    const std::set<unsigned> listenBauds_;
    int ackWithheld_;
    std::vector<std::uint8_t> stream_;  // bytes heard since the last probe or speed change
    unsigned streamBaud_ = 0;
    bool ackOwed_ = false;
    std::mutex mutex_;
    std::vector<HeardProbe> probes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace qv::test
