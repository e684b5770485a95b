#pragma once
// A station port's host for one radio's job: the question was asked once for all radios, so
// the job's own question is answered yes; the job's words go to the station's screen; and the
// job stops as the station's ending rules say.

#include <string>

#include "cli/station_screen.h"
#include "cli/station_tally.h"
#include "workflow/job_host.h"

namespace qv::cli {

class StationHost : public JobHost {
  public:
    StationHost(std::size_t slot, StationScreen& screen, const StationTally& tally)
        : slot_(slot), screen_(screen), tally_(tally) {}

    // The question comes once the radio is identified: the radio's words become an event.
    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
    // Live on the screen; the first block's count is an event (the writing has begun).
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;
    // The first Ctrl+C (or --count reached) ends the station: a port still looking for or
    // identifying a radio stops, a radio being written is finished. A second Ctrl+C
    // interrupts the writing too.
    bool StopRequested(JobPhase phase) override;

  private:
    std::size_t slot_;
    StationScreen& screen_;
    const StationTally& tally_;
    std::string lastStatus_;
    bool writing_ = false;
};

}  // namespace qv::cli
