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

// A write may take its bytes' time on the wire and this much more: a driver that still holds
// them after that (an adapter pulled out, a port stuck on flow control) fails the write
// instead of blocking the job for good.
inline constexpr std::chrono::milliseconds kWriteStallAllowance = 1000ms;

}  // namespace qv
