#include "frontend/next_radio_loop.h"

#include <optional>

#include "serial/spin_wait.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

enum class RoundEnd { NobodyAnswered, NextRadio, LoopEnds };

// Why the port has not opened in the rounds before; nothing while it opens.
using PortTrouble = std::optional<OpenFailure>;

RoundEnd RunRound(NextRadioView& view, JobSeat& seat, const WriteJobInput& input,
                  const RadioJob& job, PortTrouble& trouble) {
    if (!trouble) {
        view.Waiting();
    }
    NextRadioSeat round(seat, view, trouble.has_value());
    const auto start = Clock::now();
    const WriteJobOutcome outcome = job(round, input);
    if (round.Answered()) {
        trouble.reset();
        return view.RadioEnded(outcome) ? RoundEnd::NextRadio : RoundEnd::LoopEnds;
    }
    // Before a radio answers, the one failure is a port that does not open: said once, however
    // long the cable stays out, and again only when the reason changes.
    if (outcome.status != StatusPortOpenFailed) {
        trouble.reset();
    } else if (trouble != outcome.openFailure) {
        trouble = outcome.openFailure;
        if (!view.PortFailed(outcome, round.Held())) {
            return RoundEnd::LoopEnds;
        }
    }
    const auto left = kShortestRound -
                      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (left > std::chrono::milliseconds::zero() && !view.StopRequested()) {
        view.Pause(left);
    }
    return RoundEnd::NobodyAnswered;
}

}  // namespace

void RunNextRadioLoop(NextRadioView& view, JobSeat& seat, WriteJobInput input,
                      const RadioJob& job) {
    input.endSessionWhenRefused = true;
    PortTrouble trouble;
    while (!view.StopRequested()) {
        if (RunRound(view, seat, input, job, trouble) == RoundEnd::LoopEnds) {
            return;
        }
    }
}

void PauseUnlessStopped(std::chrono::milliseconds time,
                        const std::function<bool()>& stopRequested) {
    const auto until = Clock::now() + time;
    while (!stopRequested() && Clock::now() < until) {
        SleepFor(std::min<Clock::duration>(kPauseStep, until - Clock::now()));
    }
}

}  // namespace qv
