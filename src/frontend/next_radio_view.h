#pragma once
// What the next-radio loop needs from the front end that runs it: the window or the station
// presents the rounds and decides whether the loop goes on.

#include <chrono>
#include <optional>
#include <string>

#include "workflow/job_host.h"
#include "workflow/write_job.h"

namespace qv {

// A box the job asked for before any radio had answered.
struct HeldBox {
    std::string text;
    std::string caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
};

// What a round's job said before any radio answered: its last status text and its last box.
struct HeldWords {
    std::string status;
    std::optional<HeldBox> box;
};

class NextRadioView {
  public:
    // A round begins: no radio is on the line yet.
    virtual void Waiting() = 0;
    // A radio has answered the link-up: from here it is written as any job, with no way out
    // but the job's own. Called on the job's thread.
    virtual void Answered() = 0;
    // The round's radio ended (it had answered); true goes on to the next radio.
    virtual bool RadioEnded(const WriteJobOutcome& outcome) = 0;
    // The port did not open before any radio answered; held: what the job said meanwhile.
    // Told once while the port keeps failing for the same reason, and Waiting again once it
    // opens. True tries again, every shortest round.
    virtual bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) = 0;
    // Waits `time`, or less once the loop is stopped, keeping the front end alive.
    virtual void Pause(std::chrono::milliseconds time) = 0;
    // True once the technician, or the station's end, stops the loop: the round's job stops
    // before the erase. Asked from the job's threads.
    virtual bool StopRequested() = 0;

  protected:
    ~NextRadioView() = default;
};

}  // namespace qv
