#include "workflow/write_job.h"

#include <memory>
#include <span>

#include "workflow/job_context.h"
#include "workflow/job_messages.h"
#include "workflow/job_status.h"
#include "workflow/job_steps.h"
#include "workflow/version_text.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

JobPhase PhaseOf(const JobContext& job) {
    return job.outcome.eraseStarted ? JobPhase::Writing : JobPhase::Preparing;
}

// The seat hears of the step first, then may stop the job before the step sends anything.
bool RunStep(JobContext& job, const StepToRun& step) {
    job.seat.StepBegun(step.step);
    if (job.seat.StopRequested(PhaseOf(job))) {
        return Stop(job);
    }
    if (const std::string text = StepStatusText(step.step, job.port); !text.empty()) {
        job.seat.StatusText(text, StatusKind::Step);
    }
    const auto start = Clock::now();
    const bool succeeded = step.run(job);
    job.outcome.steps.push_back({step.step, succeeded, Since(start)});
    return succeeded;
}

// Runs the steps in order until one fails, the user cancels or the seat asks to stop; true
// when all succeeded.
bool RunSteps(JobContext& job, std::span<const StepToRun> steps) {
    for (const StepToRun& step : steps) {
        if (!RunStep(job, step) || job.status == StatusCancelled) {
            return false;
        }
    }
    return true;
}

std::string ClosingMessageFor(std::int32_t status) {
    switch (status) {
        case StatusPortOpenFailed:
            return kPortOpenFailedMessage;
        case StatusModelMismatch:
            return kModelMismatchMessage;
        default:
            return kConnectionMessage;
    }
}

// The job's start: the settings the link-up and the session need go into the link.
void PrepareJob(JobContext& job, const UpdaterSettings& settings) {
    job.port = ShownPortName(job.link.DeviceName());
    job.highSpeedConfirmed = false;
    job.mirror.Fill(0xFF);
    job.link.unencryptedLink = static_cast<std::uint8_t>(settings.unencrypted & 0xFF);
    job.link.linkStopBits = settings.stopBits;
}

// The end command of a cancel: the radio leaves its boot loader; a refusal changes nothing.
// Before the radio has identified itself there is no session to end.
void EndSession(JobContext& job) {
    if (job.outcome.identified) {
        ExchangeEndCommand(job.link);
    }
}

// The outcome: the port is closed on every way out, before the status line and the seat's
// last word. An interrupted job sends nothing more: the end command would make a half-written
// radio leave its boot loader.
void CloseWriteJob(JobContext& job, bool succeeded) {
    job.outcome.succeeded = succeeded;
    job.outcome.status = job.status;
    const bool interrupted = job.outcome.interrupted;
    const bool cancelled = !interrupted && job.status == StatusCancelled;
    const bool sentAway = job.status == StatusModelMismatch && job.input.endSessionWhenRefused;
    if (cancelled || sentAway) {
        EndSession(job);
    }
    job.link.SetOpen(false);
    if (succeeded) {
        job.outcome.closingMessage = kWritingCompletedMessage;
    } else if (interrupted) {
        job.outcome.closingMessage = kInterruptedMessage;
    } else if (!cancelled) {
        job.outcome.closingMessage = ClosingMessageFor(job.status);
    }
    job.seat.StatusText(OutcomeStatusText(job.port, job.outcome), StatusKind::Step);
}

bool RunWriteSteps(JobContext& job) {
    if (!RunSteps(job, kPreparationSteps)) {
        return false;
    }
    const std::size_t blockCount =
        job.input.region1Blocks != nullptr ? job.input.region1Blocks->size() : 0;
    job.seat.Progress(0, static_cast<int>(blockCount));
    return RunSteps(job, kTransferSteps);
}

// An identification ends as a cancel does: the radio leaves its boot loader.
void CloseIdentifyJob(JobContext& job, bool identified) {
    job.outcome.succeeded = identified;
    job.outcome.status = job.status;
    if (identified || job.status == StatusCancelled) {
        EndSession(job);
        job.link.SetOpen(false);
    } else {
        job.link.SetOpen(false);
        job.outcome.closingMessage = ClosingMessageFor(job.status);
    }
}

}  // namespace

WriteJobInput JobInputFor(const LoadedImage& image, const UpdaterSettings& settings) {
    WriteJobInput input;
    input.region1Blocks = &image.region1Blocks;
    input.versionLabel = image.versionLabel;
    input.settings = settings;
    return input;
}

WriteJobInput IdentifyInput(const UpdaterSettings& settings) {
    WriteJobInput input;
    input.kind = JobKind::Identify;
    input.settings = settings;
    return input;
}

WriteJobOutcome RunJob(RadioLink& link, JobSeat& seat, const WriteJobInput& input) {
    const auto start = Clock::now();
    WriteJobOutcome outcome;
    // The mirror is a megabyte: it lives on the heap, with the rest of the job.
    auto job = std::make_unique<JobContext>(link, seat, input, outcome);
    PrepareJob(*job, input.settings);
    if (input.kind == JobKind::Identify) {
        CloseIdentifyJob(*job, RunSteps(*job, kIdentifySteps));
    } else {
        outcome.newVersionText = VersionText(input.versionLabel);
        CloseWriteJob(*job, RunWriteSteps(*job));
    }
    outcome.duration = Since(start);
    seat.Finished(outcome);
    return outcome;
}

}  // namespace qv
