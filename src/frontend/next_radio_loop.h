#pragma once
// Radio after radio on one port, as the window's "Update the next radio automatically" and
// qv-flash station run it: each round waits for a radio, writes the one that answers without
// asking again, and goes on as the front end decides. The front end only presents the loop,
// through NextRadioView (next_radio_view.h).

#include <chrono>
#include <functional>

#include "frontend/next_radio_seat.h"
#include "workflow/write_job.h"

namespace qv {

// Nobody answering takes the link-up's twenty seconds; a round that ends sooner without a radio
// (the port's writes fail at once, the port does not open) waits out the rest of this, so that
// the loop does not spin.
inline constexpr std::chrono::milliseconds kShortestRound{1000};
// How often a pause looks whether the loop was stopped: as often as the link-up does.
inline constexpr std::chrono::milliseconds kPauseStep{50};

// One radio's job: the window's on its link, the station's on a link of the port's own.
using RadioJob = std::function<WriteJobOutcome(JobSeat& seat, const WriteJobInput& input)>;

// Rounds until the view stops the loop or does not go on, on the caller's thread. seat: the
// front end's own, which shows what the round passes on. A radio refused for its model is sent
// out of its boot loader, so that it does not answer again and the next radio can.
void RunNextRadioLoop(NextRadioView& view, JobSeat& seat, WriteJobInput input, const RadioJob& job);

// Sleeps up to `time` in steps of kPauseStep, less once stopRequested says so.
void PauseUnlessStopped(std::chrono::milliseconds time, const std::function<bool()>& stopRequested);

}  // namespace qv
