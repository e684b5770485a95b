#pragma once
// A station port's host for one radio's job: the question was asked once for all radios, so
// the job's own question is answered yes; progress goes to the station's screen; and the job
// stops as the station's ending rules say.

#include <string>

#include "cli/station_screen.h"
#include "cli/station_tally.h"
#include "workflow/job_host.h"

namespace qv::cli {

class StationHost : public JobHost {
  public:
    StationHost(std::size_t slot, StationScreen& screen, const StationTally& tally)
        : slot_(slot), screen_(screen), tally_(tally) {}

    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    int RunWorker(const std::function<int()>& work) override;
    // The first Ctrl+C (or --count reached) ends the station: a port still looking for or
    // identifying a radio stops, a radio being written is finished. A second Ctrl+C
    // interrupts the writing too.
    bool StopRequested(JobPhase phase) override;

  private:
    std::size_t slot_;
    StationScreen& screen_;
    const StationTally& tally_;
    int low_ = 0;
};

}  // namespace qv::cli
