#include "workflow/job_status.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "workflow/port_text.h"
#include "workflow/version_text.h"

namespace qv {

namespace {

using namespace std::chrono_literals;

// A pace needs a few blocks and a second behind it, or the first estimate jumps about.
constexpr int kPaceBlocks = 3;
constexpr std::chrono::milliseconds kPaceTime = 1s;

// Where {port} stands, the port's name goes.
struct StepWords {
    Step step;
    std::string_view start;    // as the step starts; empty: nothing to say
    std::string_view failure;  // when the job ended at this step
};

constexpr std::array<StepWords, 15> kStepWords = {{
    {Step::OpenPort, "Opening {port}", "The COM port {port} cannot be opened"},
    {Step::LinkUp, "", "No radio answered on {port} at any speed"},
    {Step::ReadIdentification, "Radio answered on {port}, identifying it",
     "Connection lost on {port} before writing"},
    {Step::CheckModel, "", "Wrong model on {port}, nothing was written"},
    {Step::ReadAuxVersion, "Reading the radio's version",
     "Connection lost on {port} before writing"},
    {Step::ConfirmVersionChange, "", "Connection lost on {port} before writing"},
    {Step::ReadVersion, "", "Connection lost on {port} before writing"},
    {Step::RequestHighSpeed, "Setting the line speed", "Connection lost on {port} before writing"},
    {Step::SettleSpeed, "", "Connection lost on {port} before writing"},
    {Step::SendAreaCommands, "Erasing", "Erasing failed on {port}"},
    {Step::TransferBlocks, "Writing", "Writing failed on {port}"},
    {Step::SendChecksumFrame, "Checking", "Checking failed on {port}"},
    {Step::SendCommand5B, "Finishing", "Finishing failed on {port}"},
    {Step::SendEndCommand, "", "Finishing failed on {port}"},
    {Step::ClosePort, "", "The COM port {port} could not be closed after writing"},
}};

// A job that ran no step at all.
constexpr StepWords kNoStepWords = {Step::OpenPort, "", "Failed on {port}"};

const StepWords& WordsFor(std::optional<Step> step) {
    for (const StepWords& words : kStepWords) {
        if (step && words.step == *step) {
            return words;
        }
    }
    return kNoStepWords;
}

// " (2 updated this session)"
std::string SessionCount(int updated) {
    return " (" + std::to_string(updated) + " updated this session)";
}

std::string WithPort(std::string_view pattern, std::string_view port) {
    std::string text(pattern);
    constexpr std::string_view kPlace = "{port}";
    if (const auto at = text.find(kPlace); at != std::string::npos) {
        text.replace(at, kPlace.size(), port);
    }
    return text;
}

// The radio's version as the confirmation shows it: "Ver. V1.02.03", or "No Data".
std::string OldVersionWords(const WriteJobOutcome& outcome) {
    if (!RadioHoldsVersion(outcome.radioVersion)) {
        return RadioVersionText(outcome.radioVersion);
    }
    return "Ver. " + outcome.radioVersionText;
}

// What the radio is left with when nothing was erased.
std::string KeptVersionWords(const WriteJobOutcome& outcome) {
    return "the radio keeps " + (RadioHoldsVersion(outcome.radioVersion)
                                     ? "Ver. " + outcome.radioVersionText
                                     : std::string("no version"));
}

std::string VersionChangeWords(const WriteJobOutcome& outcome) {
    return OldVersionWords(outcome) + " -> Ver. " + outcome.newVersionText;
}

std::string FailureText(std::string_view port, const WriteJobOutcome& outcome) {
    std::optional<Step> step;
    if (!outcome.steps.empty()) {
        step = outcome.steps.back().step;
    }
    std::string text = WithPort(WordsFor(step).failure, port);
    // A port that does not close after the end command leaves a written radio.
    if (step == Step::ClosePort) {
        return text;
    }
    if (outcome.eraseStarted) {
        text += ": " + VersionChangeWords(outcome) + " not completed, write again";
    } else if (outcome.versionRead) {
        text += ": " + KeptVersionWords(outcome);
    }
    return text;
}

}  // namespace

std::string MinutesAndSeconds(std::chrono::seconds time) {
    const auto total = static_cast<long long>(time.count());
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

std::string ShownPortName(std::string_view device) {
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    if (device.starts_with(kDeviceNamespace)) {
        device.remove_prefix(kDeviceNamespace.size());
    }
    return std::string(device);
}

std::string StepStatusText(Step step, std::string_view port) {
    return WithPort(WordsFor(step).start, port);
}

std::string LinkUpStatusText(std::string_view port, std::string_view speed) {
    return "Looking for the radio on " + std::string(port) + " (" + std::string(speed) + " bps)...";
}

std::string RadioFoundText(std::span<const std::uint8_t> radioVersion) {
    if (!RadioHoldsVersion(radioVersion)) {
        return "Radio found, no version (" + RadioVersionText(radioVersion) + ")";
    }
    return "Radio found, version " + VersionText(radioVersion);
}

std::string TransferStatusText(int done, int total, std::optional<std::chrono::seconds> left) {
    std::string text = "Writing block " + std::to_string(done) + " of " + std::to_string(total);
    if (left) {
        text += ", " + MinutesAndSeconds(*left) + " left";
    }
    return text;
}

std::string OutcomeStatusText(std::string_view port, const WriteJobOutcome& outcome) {
    if (outcome.interrupted) {
        return "Writing interrupted on " + std::string(port) +
               ": the radio does not hold complete firmware";
    }
    if (outcome.succeeded) {
        return "Writing completed on " + std::string(port) + ": " + VersionChangeWords(outcome);
    }
    if (outcome.status == StatusCancelled) {
        // Stopped before the radio told its version (a station ending while it waits).
        if (!outcome.versionRead) {
            return "Canceled on " + std::string(port);
        }
        return "Canceled on " + std::string(port) + ": " + KeptVersionWords(outcome);
    }
    return FailureText(port, outcome);
}

std::string AdapterLatencyText(std::string_view port, const LatencyTimer& timer, int blocks) {
    const std::string shown = std::to_string(timer.value.count()) + " ms";
    std::string text = "The adapter on " + std::string(port) + " holds each reply up to " + shown +
                       " (its latency timer)";
    // The acknowledged transfer waits for one reply per block.
    if (blocks > 0) {
        text += ": this update waits up to " +
                MinutesAndSeconds(std::chrono::ceil<std::chrono::seconds>(timer.value * blocks)) +
                " longer";
    } else {
        text += ", once for every block an update writes";
    }
    return text + "; " + LatencyTimerFix(port, timer);
}

std::string BusyPortText(std::string_view port, std::chrono::milliseconds retry) {
    return std::string(port) + " is in use by another program; trying again for " +
           std::to_string(std::chrono::ceil<std::chrono::seconds>(retry).count()) + " s";
}

std::string WaitingForRadioText(std::string_view port) {
    return "Waiting for the next radio on " + std::string(port);
}

std::string PortGoneText(std::string_view failure) {
    return std::string(failure) + "; waiting for the port to come back";
}

std::string WaitingStatusText(std::string_view port, int updated) {
    return WaitingForRadioText(port) + SessionCount(updated);
}

std::string StoppedWaitingText(std::string_view port, int updated) {
    return "Stopped waiting for the next radio on " + std::string(port) + SessionCount(updated);
}

std::optional<std::chrono::seconds> TransferPace::TimeLeft(int done, int total,
                                                           Clock::time_point now) {
    if (!started_) {
        started_ = true;
        firstDone_ = done;
        firstAt_ = now;
        return std::nullopt;
    }
    const int measured = done - firstDone_;
    const auto elapsed = now - firstAt_;
    if (done >= total || measured < kPaceBlocks || elapsed < kPaceTime) {
        return std::nullopt;
    }
    const auto left = elapsed * (total - done) / measured;
    // Rounded up: "0:00 left" only once nothing is left.
    return std::chrono::ceil<std::chrono::seconds>(left);
}

}  // namespace qv
