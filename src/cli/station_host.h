#pragma once
// A station port's host for its radios' jobs, under the next-radio loop's round host: the
// job's words go to the station's screen, and a second Ctrl+C interrupts the writing.

#include <string>

#include "cli/station_screen.h"
#include "cli/writing_radios.h"
#include "workflow/job_host.h"

namespace qv::cli {

class StationHost : public JobHost {
  public:
    // writing: the list the forced exit records, the radio under recordPort; may be nullptr.
    StationHost(std::size_t slot, StationScreen& screen, WritingRadios* writing,
                std::string recordPort)
        : slot_(slot), screen_(screen), writing_(writing), recordPort_(std::move(recordPort)) {}

    // The outcome is the station's own event; the boxes add nothing to it.
    BoxAnswer ShowMessage(const std::string&, const std::string&, BoxButtons, BoxIcon) override {
        return BoxAnswer::Ok;
    }
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    void WritingBegins(const WriteJobOutcome& known) override;
    // Live on the screen; a transfer's first block count is an event (the writing has begun).
    void StepStarted(Step step) override;
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;
    // The first Ctrl+C (or --count reached) ends the loop, which stops a port still looking
    // for or identifying a radio; a radio being written is finished. A second Ctrl+C
    // interrupts the writing too.
    bool StopRequested(JobPhase phase) override;

  private:
    std::size_t slot_;
    StationScreen& screen_;
    WritingRadios* writing_;
    std::string recordPort_;
    int blocks_ = 0;          // the progress range: the transfer's blocks
    bool countTold_ = false;  // the transfer's first count has been told
};

}  // namespace qv::cli
