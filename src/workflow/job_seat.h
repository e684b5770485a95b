#pragma once
// What the write job asks of the front end that runs it, and what it tells it: the window, the
// terminal, the web page or a test takes the seat. The job calls it on the session's thread
// alone, and blocks nowhere else but in its link, its clock and these calls.

#include <optional>
#include <string>

#include "workflow/job_step.h"

namespace qv {

struct WriteJobOutcome;

// Where a job stands when it asks whether to stop: before the first area command erases the
// radio's flash (a stop is a cancel), or after it (a stop leaves the radio half written).
enum class JobPhase { Preparing, Writing };

// What a status text is: a step of the job, worth a line of its own in a log, or the transfer's
// running count, which replaces itself with every block.
enum class StatusKind { Step, Progress };

class JobSeat {
  public:
    virtual ~JobSeat() = default;

    // The one question: write this firmware over the radio's? radioVersion is nothing when the
    // radio holds none. True goes on; false cancels, and the radio leaves its boot loader.
    virtual bool ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                                      const std::string& newVersion) = 0;

    // A step (OpenPort .. ClosePort) begins, before its status text and before the job asks
    // whether to stop.
    virtual void StepBegun(Step /*step*/) {}
    // The job in plain words (job_status.h).
    virtual void StatusText(const std::string& /*text*/, StatusKind /*kind*/) {}
    // The transfer: 0 of all blocks as it begins, then each block handled, all once it ends.
    virtual void Progress(int /*blocksDone*/, int /*blocks*/) {}
    // The first area command is about to erase the radio's firmware: what the job knows of the
    // radio by now, for a program that must record the radio even when it cannot wait for the
    // job's end (its forced exit).
    virtual void WritingBegins(const WriteJobOutcome& /*known*/) {}
    // The job's last word: the port is closed and the outcome complete.
    virtual void Finished(const WriteJobOutcome& /*outcome*/) {}

    // Asked before each step, between link-up attempts, area commands and frames: true stops
    // the job at the next of them. Before the first area is erased that is a cancel (the radio
    // leaves its boot loader); after it the job is interrupted and the radio stays in its boot
    // loader for the next write.
    virtual bool StopRequested(JobPhase /*phase*/) { return false; }
};

}  // namespace qv
