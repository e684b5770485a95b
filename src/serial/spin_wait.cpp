#include "serial/spin_wait.h"

#include <thread>

namespace qv {

void SpinWait(std::chrono::milliseconds duration) {
    // One monotonic deadline: a clock that is set back or wraps cannot stretch the wait.
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline) {
    }
}

void SleepFor(std::chrono::steady_clock::duration duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace qv
