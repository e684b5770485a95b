#pragma once
// Pauses of the serial layer itself.

#include <chrono>

namespace qv {

using namespace std::chrono_literals;

// Before the RS-232 query: lets a port that has just opened settle its driver state.
inline constexpr std::chrono::milliseconds kRs232SettleBefore = 20ms;
// After each of the two property queries: the scan has always paced its questions to a
// driver this way; a port that answers costs 50 ms in all.
inline constexpr std::chrono::milliseconds kRs232QueryPause = 10ms;
// After the query, before the port list opens the next port.
inline constexpr std::chrono::milliseconds kRs232SettleAfter = 10ms;

// A write or a drain may take the wire time of the bytes ahead of it and this much more; a
// port that needs longer has stopped taking data (a wedged USB adapter, a peer that no longer
// reads), and the step fails as after a read time-out.
inline constexpr std::chrono::milliseconds kDrainAllowance = 1000ms;
// The wire-time floor counts from the write call; the first bit leaves a little later (the
// UART's start, a USB adapter's 1 ms frame), so a pause after a frame starts this much later.
inline constexpr std::chrono::milliseconds kWireTimeSlack = 2ms;
// Longest sleep between two looks at the driver's transmit queue.
inline constexpr std::chrono::milliseconds kDrainPollLimit = 5ms;

}  // namespace qv
