#include "cli/interruption.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

#if defined(_WIN32)
#include <io.h>
#define QV_WRITE_STDERR(text, size) _write(2, text, size)
#else
#include <unistd.h>
#define QV_WRITE_STDERR(text, size) write(STDERR_FILENO, text, size)
#endif

namespace qv::cli {

namespace {

constexpr int kShellSignalBase = 128;

// Lock-free, so that a signal handler may touch it.
std::atomic<int> interruptingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnInterruptingSignal(int signal) {
    std::signal(signal, OnInterruptingSignal);  // some systems reset the handler on delivery
    int none = 0;
    if (interruptingSignal.compare_exchange_strong(none, signal)) {
        return;
    }
    // Asked twice: end now, but leave the terminal's line clean.
    [[maybe_unused]] const auto written = QV_WRITE_STDERR("\n", 1);
    std::_Exit(kShellSignalBase + signal);
}

}  // namespace

void InstallInterruptionHandlers() {
    std::signal(SIGINT, OnInterruptingSignal);
    std::signal(SIGTERM, OnInterruptingSignal);
#if defined(SIGHUP)
    std::signal(SIGHUP, OnInterruptingSignal);
#endif
}

int InterruptingSignal() {
    return interruptingSignal.load();
}

int InterruptedExitCode() {
    return kShellSignalBase + InterruptingSignal();
}

}  // namespace qv::cli
