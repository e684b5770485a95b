#include "workflow/write_job.h"

#include <memory>
#include <span>

#include "workflow/job_context.h"
#include "workflow/job_messages.h"
#include "workflow/job_steps.h"
#include "workflow/version_text.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

bool RunStep(JobContext& job, const NamedStep& step) {
    const auto start = Clock::now();
    const bool succeeded = step.run(job);
    job.outcome.steps.push_back({step.name, succeeded, Since(start)});
    return succeeded;
}

// Runs the steps in order until one fails, the user cancels or the host asks to stop; true
// when all succeeded.
bool RunSteps(JobContext& job, std::span<const NamedStep> steps) {
    for (const NamedStep& step : steps) {
        if (job.host.StopRequested()) {
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

// The outcome: the port is closed on every way out, before the box. An interrupted job sends
// nothing more: the end command would make a half-written radio leave its boot loader.
void CloseJob(JobContext& job, bool succeeded, Clock::time_point start) {
    if (job.outcome.interrupted) {
        job.link.SetOpen(false);
        job.outcome.closingMessage = kInterruptedMessage;
    } else if (job.status == StatusCancelled) {
        EndSession(job);
        job.link.SetOpen(false);
    } else if (succeeded) {
        job.link.SetOpen(false);
        job.outcome.closingMessage = kWritingCompletedMessage;
        job.host.ShowMessage(kWritingCompletedMessage, kUpdaterCaption, BoxButtons::Ok,
                             BoxIcon::Information);
    } else {
        job.link.SetOpen(false);
        ShowError(job);
    }
    job.host.SetProgressPosition(-1);
    job.host.UnlockControls();
    job.outcome.succeeded = succeeded;
    job.outcome.status = job.status;
    job.outcome.duration = Since(start);
}

}  // namespace

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
