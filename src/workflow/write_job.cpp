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

bool RunStep(JobContext& job, const StepToRun& step) {
    job.host.StepStarted(step.step);
    if (const std::string text = StepStatusText(step.step, job.port); !text.empty()) {
        job.host.ShowStatus(text, StatusKind::Step);
    }
    const auto start = Clock::now();
    const bool succeeded = step.run(job);
    job.outcome.steps.push_back({step.step, succeeded, Since(start)});
    return succeeded;
}

// Runs the steps in order until one fails, the user cancels or the host asks to stop; true
// when all succeeded.
bool RunSteps(JobContext& job, std::span<const StepToRun> steps) {
    for (const StepToRun& step : steps) {
        if (job.host.StopRequested(job.outcome.eraseStarted ? JobPhase::Writing
                                                            : JobPhase::Preparing)) {
            return Stop(job);
        }
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
    job.host.LockControls();
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

void ShowError(JobContext& job) {
    job.outcome.closingMessage = ClosingMessageFor(job.status);
    job.host.ShowMessage(job.outcome.closingMessage, kErrorCaption, BoxButtons::Ok, BoxIcon::Stop);
}

// The outcome: the port is closed on every way out, before the status line and the box. An
// interrupted job sends nothing more: the end command would make a half-written radio leave
// its boot loader.
void CloseJob(JobContext& job, bool succeeded, Clock::time_point start) {
    job.outcome.succeeded = succeeded;
    job.outcome.status = job.status;
    const bool interrupted = job.outcome.interrupted;
    const bool cancelled = !interrupted && job.status == StatusCancelled;
    const bool sentAway = job.status == StatusModelMismatch && job.input.endSessionWhenRefused;
    if (cancelled || sentAway) {
        EndSession(job);
    }
    job.link.SetOpen(false);
    if (interrupted) {
        job.outcome.closingMessage = kInterruptedMessage;
    }
    job.host.ShowStatus(OutcomeStatusText(job.port, job.outcome), StatusKind::Step);
    // After a cancel the step has shown "Operation has been canceled"; no box follows. The
    // host that asked to stop knows why the job ended.
    if (succeeded) {
        job.outcome.closingMessage = kWritingCompletedMessage;
        job.host.ShowMessage(kWritingCompletedMessage, kUpdaterCaption, BoxButtons::Ok,
                             BoxIcon::Information);
    } else if (!cancelled && !interrupted) {
        ShowError(job);
    }
    job.host.SetProgressPosition(-1);
    job.host.UnlockControls();
    job.outcome.duration = Since(start);
}

}  // namespace

WriteJobInput JobInputFor(const LoadedImage& image, const UpdaterSettings& settings) {
    WriteJobInput input;
    input.region1Blocks = &image.region1Blocks;
    input.versionLabel = image.versionLabel;
    input.settings = settings;
    return input;
}

WriteJobOutcome RunWriteJob(RadioLink& link, JobHost& host, const WriteJobInput& input) {
    const auto start = Clock::now();
    WriteJobOutcome outcome;
    // The mirror is a megabyte: it lives on the heap, with the rest of the job.
    auto job = std::make_unique<JobContext>(link, host, input, outcome);
    outcome.newVersionText = VersionText(input.versionLabel);
    PrepareJob(*job, input.settings);

    bool succeeded = RunSteps(*job, kPreparationSteps);
    if (succeeded) {
        const std::size_t blockCount =
            input.region1Blocks != nullptr ? input.region1Blocks->size() : 0;
        host.SetProgressRange(0, static_cast<int>(blockCount));
        succeeded = RunSteps(*job, kTransferSteps);
    }
    CloseJob(*job, succeeded, start);
    return outcome;
}

WriteJobOutcome RunIdentifyJob(RadioLink& link, JobHost& host, const UpdaterSettings& settings) {
    const auto start = Clock::now();
    WriteJobOutcome outcome;
    WriteJobInput input;
    input.settings = settings;
    auto job = std::make_unique<JobContext>(link, host, input, outcome);
    PrepareJob(*job, settings);

    const bool identified = RunSteps(*job, kIdentifySteps);
    if (identified || job->status == StatusCancelled) {
        EndSession(*job);  // as after a cancel: the radio leaves its boot loader
        link.SetOpen(false);
    } else {
        link.SetOpen(false);
        ShowError(*job);
    }
    host.UnlockControls();
    outcome.succeeded = identified;
    outcome.status = job->status;
    outcome.duration = Since(start);
    return outcome;
}

}  // namespace qv
