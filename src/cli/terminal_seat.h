#pragma once
// The terminal as the write job's seat: the version question is asked on the terminal (or
// answered by --yes), progress goes to the display, and a Ctrl+C asks the job to stop.

#include <cstdio>
#include <string>

#include "cli/confirmation.h"
#include "cli/progress_display.h"
#include "cli/writing_radios.h"
#include "workflow/job_seat.h"

namespace qv::cli {

class TerminalSeat : public JobSeat {
  public:
    // portLabel is empty when this is the only radio of the run.
    TerminalSeat(std::string portLabel, Confirmation& confirmation, ProgressDisplay& progress,
                 std::size_t progressSlot)
        : portLabel_(std::move(portLabel)),
          confirmation_(confirmation),
          progress_(progress),
          progressSlot_(progressSlot) {}

    bool ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion) override;
    void StatusText(const std::string& text, StatusKind kind) override;
    void Progress(int blocksDone, int blocks) override;
    void WritingBegins(const WriteJobOutcome& known) override;
    bool StopRequested(JobPhase phase) override;

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
};

}  // namespace qv::cli
