#pragma once
#include <chrono>

namespace qv {

// Busy wait that does not yield: the protocol's short pauses must not overshoot the way a
// sleep on a loaded machine can.
void SpinWait(std::chrono::milliseconds duration);

}  // namespace qv
