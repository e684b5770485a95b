#pragma once
// The two ways the job pauses: a spin for the protocol's short pauses, a sleep where a pause
// may overshoot a little. One implementation file per platform: a browser's worker has no
// thread to put to sleep and waits on its own timers instead.

#include <chrono>

namespace qv {

// Busy wait that does not yield: the protocol's short pauses must not overshoot the way a
// sleep on a loaded machine can.
void SpinWait(std::chrono::milliseconds duration);

// A pause that gives the core away meanwhile: between polls, retries and acknowledged blocks.
void SleepFor(std::chrono::steady_clock::duration duration);

}  // namespace qv
