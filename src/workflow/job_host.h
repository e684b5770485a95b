#pragma once
// What the write job needs from the program that runs it: the window, the terminal, or a test.

#include <functional>
#include <string>

#include "workflow/job_step.h"

namespace qv {

struct WriteJobOutcome;

enum class BoxButtons { Ok, OkCancel };
enum class BoxIcon { None, Information, Question, Exclamation, Stop };
enum class BoxAnswer { Ok, Cancel };

// Where a job stands when it asks whether to stop: before the first area command erases the
// radio's flash (a stop is a cancel), or after it (a stop leaves the radio half written).
enum class JobPhase { Preparing, Writing };

// What a status text is: a step of the job, worth a line of its own in a log, or the transfer's
// running count, which replaces itself with every block.
enum class StatusKind { Step, Progress };

class JobHost {
  public:
    virtual ~JobHost() = default;

    // A modal message box; returns the button pressed.
    virtual BoxAnswer ShowMessage(const std::string& text, const std::string& caption,
                                  BoxButtons buttons, BoxIcon icon) = 0;
    virtual void LockControls() = 0;
    virtual void UnlockControls() = 0;
    virtual void SetProgressRange(int low, int high) = 0;
    // Called from the worker thread; returns once the position is shown.
    virtual void SetProgressPosition(int position) = 0;
    // A step (OpenPort .. ClosePort) begins, before its status text. Called from the job's
    // thread.
    virtual void StepStarted(Step /*step*/) {}
    // The job in plain words (job_status.h). Called from the job's thread and from workers;
    // returns once the text is shown. A host without a status line ignores it.
    virtual void ShowStatus(const std::string& /*text*/, StatusKind /*kind*/) {}
    // The first area command is about to erase the radio's firmware: what the job knows of the
    // radio by now, for a program that must record the radio even when it cannot wait for the
    // job's end (its forced exit). Called from the job's thread.
    virtual void WritingBegins(const WriteJobOutcome& /*known*/) {}
    // Runs work on a worker thread and waits for its end while the host stays alive (the window
    // keeps painting and swallows close requests). Returns what work returned.
    virtual int RunWorker(const std::function<int()>& work) = 0;
    // Asked between steps, link-up attempts and frames, from the job's threads: true stops the
    // job at the next of them. Before the first area is erased that is a cancel (the radio
    // leaves its boot loader); after it the job is interrupted and the radio stays in its boot
    // loader for the next write.
    virtual bool StopRequested(JobPhase /*phase*/) { return false; }
};

}  // namespace qv
