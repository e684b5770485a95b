#include "frontend/next_radio_seat.h"

namespace qv {

NextRadioSeat::NextRadioSeat(JobSeat& seat, NextRadioView& view, bool portLost)
    : seat_(seat), view_(view), portLost_(portLost) {}

bool NextRadioSeat::ConfirmVersionChange(const std::optional<std::string>& /*radioVersion*/,
                                         const std::string& /*newVersion*/) {
    return true;
}

void NextRadioSeat::StepBegun(Step step) {
    if (step == Step::LinkUp && portLost_) {  // the port has opened: the wait goes on
        portLost_ = false;
        view_.Waiting();
    }
    if (step == Step::ReadIdentification) {
        // Asked before a byte goes to the radio: one the loop does not want stays untouched.
        answered_ = !view_.StopRequested() && view_.Answered();
        turnedAway_ = !answered_;
    }
    if (answered_) {
        seat_.StepBegun(step);
    }
}

void NextRadioSeat::StatusText(const std::string& text, StatusKind kind) {
    if (!answered_) {
        held_.status = text;
        return;
    }
    seat_.StatusText(text, kind);
}

void NextRadioSeat::Progress(int blocksDone, int blocks) {
    seat_.Progress(blocksDone, blocks);
}

void NextRadioSeat::WritingBegins(const WriteJobOutcome& known) {
    seat_.WritingBegins(known);
}

void NextRadioSeat::Finished(const WriteJobOutcome& outcome) {
    if (answered_) {
        seat_.Finished(outcome);
    }
}

bool NextRadioSeat::StopRequested(JobPhase phase) {
    return turnedAway_ || (phase == JobPhase::Preparing && view_.StopRequested()) ||
           seat_.StopRequested(phase);
}

}  // namespace qv
