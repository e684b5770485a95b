#pragma once
// What the next-radio loop needs from the front end that runs it: the window or the station
// presents the rounds and decides whether the loop goes on. Called on the loop's thread.

#include <chrono>
#include <string>

#include "workflow/write_job.h"

namespace qv {

// What a round's job said before any radio answered: its last status text.
struct HeldWords {
    std::string status;
};

class NextRadioView {
  public:
    // A round begins: no radio is on the line yet.
    virtual void Waiting() = 0;
    // A radio has answered the link-up and nothing has been asked of it yet. True writes it as
    // any job, with no way out but the job's own; false leaves it untouched in its boot loader
    // (the station has all the radios it was asked for).
    virtual bool Answered() = 0;
    // The round's radio ended (it had been let through); true goes on to the next radio.
    virtual bool RadioEnded(const WriteJobOutcome& outcome) = 0;
    // The port did not open before any radio answered; held: what the job said meanwhile.
    // Told once while the port keeps failing for the same reason, and Waiting again once it
    // opens. True tries again, every shortest round.
    virtual bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) = 0;
    // Waits `time`, or less once the loop is stopped.
    virtual void Pause(std::chrono::milliseconds time) = 0;
    // True once the technician, or the station's end, stops the loop: the round's job stops
    // before the erase.
    virtual bool StopRequested() = 0;

  protected:
    ~NextRadioView() = default;
};

}  // namespace qv
