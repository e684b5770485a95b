#pragma once
// The seat of one round of the next-radio loop, in front of the front end's own: until a radio
// answers, the round's words are held (a round in which nobody answers is no error); once one
// answers and the view lets it through, the job is the front end's as any other, but for the
// version question, which was answered once for every radio.

#include <string>

#include "frontend/next_radio_view.h"
#include "workflow/job_seat.h"

namespace qv {

class NextRadioSeat final : public JobSeat {
  public:
    // seat: the front end's own, which shows what passes. portLost: the rounds before could not
    // open the port, and the view has not been told of a wait since: it is told once the port
    // opens again.
    NextRadioSeat(JobSeat& seat, NextRadioView& view, bool portLost = false);

    bool ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion) override;
    // A radio has answered once the job is about to identify it.
    void StepBegun(Step step) override;
    void StatusText(const std::string& text, StatusKind kind) override;
    void Progress(int blocksDone, int blocks) override;
    void WritingBegins(const WriteJobOutcome& known) override;
    // A round nobody answered ends quietly: the loop tells what needs telling.
    void Finished(const WriteJobOutcome& outcome) override;
    // The loop's stop ends the job before the erase only; the front end's own stop (a second
    // Ctrl+C) may end it later too. A radio the view did not let through is stopped at once.
    bool StopRequested(JobPhase phase) override;

    // A radio answered and was let through.
    bool Answered() const { return answered_; }
    const HeldWords& Held() const { return held_; }

  private:
    JobSeat& seat_;
    NextRadioView& view_;
    bool answered_ = false;
    bool turnedAway_ = false;
    bool portLost_;
    HeldWords held_;
};

}  // namespace qv
