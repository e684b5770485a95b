// The job's pauses in a browser's worker: there is no thread to put to sleep, so a sleep
// awaits the worker's own timer (src/web/site/pauses.js), and a spin watches the clock.

#include <emscripten.h>

#include <chrono>

#include "serial/spin_wait.h"

// clang-format off
EM_ASYNC_JS(void, qv_web_sleep, (double milliseconds), {
    await Module.qvPause(milliseconds);
});
// clang-format on

namespace qv {

void SpinWait(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline) {
    }
}

void SleepFor(std::chrono::steady_clock::duration duration) {
    if (duration <= std::chrono::steady_clock::duration::zero()) {
        return;
    }
    qv_web_sleep(std::chrono::duration<double, std::milli>(duration).count());
}

}  // namespace qv
