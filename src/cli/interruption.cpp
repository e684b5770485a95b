#include "cli/interruption.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "workflow/job_messages.h"

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

// Lock-free, so that a signal handler may touch them.
std::atomic<int> interruptingSignal{0};
std::atomic<int> interruptCount{0};
std::atomic<int> endAtOnceCount{2};
std::atomic<bool> recordBeforeExit{false};
std::atomic<bool> forcedExit{false};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

// A signal handler may do next to nothing; the watcher looks at the flag this often.
constexpr std::chrono::milliseconds kForcedExitPoll{20};

void WriteStderr(const std::string& text) {
    [[maybe_unused]] const auto written =
        QV_WRITE_STDERR(text.data(), static_cast<unsigned>(text.size()));
}

extern "C" void OnInterruptingSignal(int signal) {
    std::signal(signal, OnInterruptingSignal);  // some systems reset the handler on delivery
    int none = 0;
    interruptingSignal.compare_exchange_strong(none, signal);
    if (interruptCount.fetch_add(1) + 1 < endAtOnceCount.load()) {
        return;
    }
    // Asked once more while stopping: end now, but leave the terminal's line clean. With a
    // record, the watcher records the radios being written first.
    [[maybe_unused]] const auto written = QV_WRITE_STDERR("\n", 1);
    if (recordBeforeExit.load()) {
        forcedExit.store(true);
        return;
    }
    std::_Exit(kShellSignalBase + interruptingSignal.load());
}

// The forced exit with a record: the interrupted radios' lines on a thread of their own, given
// kForcedExitRecordTime; then the program ends whatever the record did.
[[noreturn]] void ExitAfterRecording(const std::shared_ptr<WritingRadios>& writing) {
    const int exitCode = kShellSignalBase + interruptingSignal.load();
    struct Result {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool recorded = false;
        bool halfWritten = false;
        std::string reason;
    };
    auto result = std::make_shared<Result>();
    try {
        std::thread([writing, result, exitCode] {
            bool halfWritten = false;
            std::string reason;
            const bool recorded = writing->RecordInterrupted(exitCode, halfWritten, reason);
            std::lock_guard lock(result->mutex);
            result->finished = true;
            result->recorded = recorded;
            result->halfWritten = halfWritten;
            result->reason = reason;
            result->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to bound the append with (a limit on threads): the exit does not wait.
    }
    std::unique_lock lock(result->mutex);
    const bool finished =
        result->done.wait_for(lock, kForcedExitRecordTime, [&] { return result->finished; });
    if (!finished) {
        WriteStderr(
            "qv-flash: the interrupted radio was not recorded: the record did not take "
            "its line within a second\n");
    } else if (!result->recorded) {
        WriteStderr("qv-flash: the interrupted radio was not recorded: " + result->reason + "\n");
    }
    if (!finished || result->halfWritten) {
        WriteStderr(std::string(kInterruptedMessage) + "\n");
    }
    std::_Exit(exitCode);
}

}  // namespace

void InstallInterruptionHandlers(int signalsToEndAtOnce, std::shared_ptr<WritingRadios> writing) {
    endAtOnceCount.store(signalsToEndAtOnce);
    if (writing && !recordBeforeExit.load()) {
        try {
            std::thread([writing] {
                while (!forcedExit.load()) {
                    std::this_thread::sleep_for(kForcedExitPoll);
                }
                ExitAfterRecording(writing);
            }).detach();
            recordBeforeExit.store(true);
        } catch (const std::system_error&) {
            // No watcher (a limit on threads): the last signal ends the program at once.
        }
    }
    std::signal(SIGINT, OnInterruptingSignal);
    std::signal(SIGTERM, OnInterruptingSignal);
#if defined(SIGHUP)
    std::signal(SIGHUP, OnInterruptingSignal);
#endif
}

int InterruptingSignal() {
    return interruptingSignal.load();
}

int InterruptCount() {
    return interruptCount.load();
}

int InterruptedExitCode() {
    return kShellSignalBase + InterruptingSignal();
}

}  // namespace qv::cli
