#pragma once
// How the simulated adapter learns, in a test, whether the updater asked its driver for low
// latency. A pseudo-terminal takes no serial flags: the tests' USB shim (tests/shims) answers
// the updater's TIOCSSERIAL in its stead and keeps the flags in a file per terminal, under the
// directory QV_SHIM_SERIAL_DIR names. This reads them there; it is a test seam only, and the
// updater knows nothing of it.

#include <functional>
#include <string>

namespace qv {

// Whether the flags the shim keeps for the terminal at `device` hold ASYNC_LOW_LATENCY.
using LowLatencyProbe = std::function<bool(const std::string& device)>;

// The probe of the shim's directory; null when QV_SHIM_SERIAL_DIR is not set (the adapter then
// never hears of the flag, as behind a driver that ignores it).
LowLatencyProbe ShimLowLatencyProbe();

}  // namespace qv
