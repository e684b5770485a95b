#pragma once
// What the protocol's own pauses add up to for one whole job, counted from the blocks and
// rounds, each pause as long as this machine takes to deliver it.

#include <chrono>

namespace qv::bench {

using Seconds = std::chrono::duration<double>;

// How long this machine takes for the protocol's two kinds of pause.
struct PauseCosts {
    Seconds sleep5{0};  // a 5 ms sleep (a time-out waits like a sleep)
    Seconds spin25{0};  // a 25 ms spin
};

PauseCosts MeasurePauseCosts();

struct JobShape {
    int blocks = 0;           // blocks that carry data
    int roundsPerWrite = 90;  // streamed resynchronisation period
    bool highSpeed = true;    // the radio confirms 115200: the acknowledged transfer
    int silentAttempts = 1;   // link-up attempts before the radio's speed (19200 is the 2nd)
    // The streamed frames' time on the wire, each with its slack: the transfer waits until a
    // frame has left the line before the radio's programming pause.
    Seconds streamedWireTime{0};
};

// The job's pauses: link-up attempts, spins and sleeps of the steps and of the transfer.
Seconds PauseBudget(const JobShape& shape, const PauseCosts& costs);

}  // namespace qv::bench
