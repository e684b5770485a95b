#pragma once
// The job host of one round of the next-radio loop: until a radio answers, the round's words
// and boxes are held (a round in which nobody answers is no error); once one answers, the job
// is the front end's as any other, but for the version question, which was answered once for
// every radio.

#include <mutex>
#include <string>

#include "frontend/next_radio_view.h"
#include "workflow/job_host.h"

namespace qv {

class NextRadioHost final : public JobHost {
  public:
    // host: the front end's own, which shows what passes. portLost: the rounds before could
    // not open the port, and the view has not been told of a wait since: it is told once the
    // port opens again.
    NextRadioHost(JobHost& host, NextRadioView& view, bool portLost = false);

    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    // The loop holds the front end's controls for all its rounds.
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    // A radio has answered once the job reads its identification.
    void StepStarted(Step step) override;
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;
    // The loop's stop ends the job before the erase only; the host's own stop (a second
    // Ctrl+C) may end it later too.
    bool StopRequested(JobPhase phase) override;

    bool Answered() const;
    HeldWords Held() const;

  private:
    JobHost& host_;
    NextRadioView& view_;
    mutable std::mutex mutex_;  // the link-up's texts come from its worker
    bool answered_ = false;
    bool portLost_;
    HeldWords held_;
};

}  // namespace qv
