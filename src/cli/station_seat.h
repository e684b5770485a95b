#pragma once
// A station port's seat for its radios' jobs, behind the next-radio loop's round seat: the
// job's words go to the station's screen, and a second Ctrl+C interrupts the writing.

#include <string>

#include "cli/station_screen.h"
#include "cli/writing_radios.h"
#include "workflow/job_seat.h"

namespace qv::cli {

class StationSeat : public JobSeat {
  public:
    // writing: the list the forced exit records, the radio under recordPort; may be nullptr.
    StationSeat(std::size_t slot, StationScreen& screen, WritingRadios* writing,
                std::string recordPort)
        : slot_(slot), screen_(screen), writing_(writing), recordPort_(std::move(recordPort)) {}

    // The station asked once for every radio before it began.
    bool ConfirmVersionChange(const std::optional<std::string>& /*radioVersion*/,
                              const std::string& /*newVersion*/) override {
        return true;
    }
    // Live on the screen; a transfer's first block count is an event (the writing has begun).
    void StepBegun(Step step) override;
    void StatusText(const std::string& text, StatusKind kind) override;
    void Progress(int blocksDone, int blocks) override;
    void WritingBegins(const WriteJobOutcome& known) override;
    // The first Ctrl+C (or --count reached) ends the loop, which stops a port still looking
    // for or identifying a radio; a radio being written is finished. A second Ctrl+C
    // interrupts the writing too.
    bool StopRequested(JobPhase phase) override;

  private:
    std::size_t slot_;
    StationScreen& screen_;
    WritingRadios* writing_;
    std::string recordPort_;
    bool countTold_ = false;  // the transfer's first count has been told
};

}  // namespace qv::cli
