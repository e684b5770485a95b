#pragma once
// The terminal as the write job's host: the confirmation is asked on the terminal (or taken
// from --yes), progress goes to the display, the worker is simply waited for, and a Ctrl+C
// asks the job to stop.

#include <cstdio>
#include <mutex>
#include <string>

#include "cli/confirmation.h"
#include "cli/progress_display.h"
#include "cli/writing_radios.h"
#include "workflow/job_host.h"

namespace qv::cli {

class TerminalHost : public JobHost {
  public:
    // portLabel is empty when this is the only radio of the run.
    TerminalHost(std::string portLabel, Confirmation& confirmation, ProgressDisplay& progress,
                 std::size_t progressSlot)
        : portLabel_(std::move(portLabel)),
          confirmation_(confirmation),
          progress_(progress),
          progressSlot_(progressSlot) {}

    // A question goes to the terminal; any other box is dropped: the command prints the
    // application's message itself, as the last line.
    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;
    bool StopRequested(JobPhase phase) override;
    void WritingBegins(const WriteJobOutcome& known) override;

    // The radio goes on the list the forced exit records, under this port name.
    void RecordWritingTo(WritingRadios* writing, std::string recordPort) {
        writing_ = writing;
        recordPort_ = std::move(recordPort);
    }

  private:
    std::string portLabel_;
    Confirmation& confirmation_;
    ProgressDisplay& progress_;
    std::size_t progressSlot_;
    WritingRadios* writing_ = nullptr;
    std::string recordPort_;
    int blocks_ = 0;  // the progress range: the transfer's blocks
};

}  // namespace qv::cli
