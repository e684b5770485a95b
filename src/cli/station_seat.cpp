#include "cli/station_seat.h"

#include "cli/interruption.h"

namespace qv::cli {

void StationSeat::StepBegun(Step step) {
    if (step == Step::TransferBlocks) {
        countTold_ = false;
    }
}

void StationSeat::StatusText(const std::string& text, StatusKind kind) {
    if (kind == StatusKind::Progress && !countTold_) {
        countTold_ = true;
        screen_.Event(slot_, text);
        return;
    }
    screen_.Live(slot_, text);
}

void StationSeat::Progress(int blocksDone, int /*blocks*/) {
    if (writing_ != nullptr) {
        writing_->Blocks(slot_, blocksDone);
    }
}

void StationSeat::WritingBegins(const WriteJobOutcome& known) {
    if (writing_ != nullptr) {
        writing_->Begin(slot_, recordPort_, known);
    }
}

bool StationSeat::StopRequested(JobPhase /*phase*/) {
    return InterruptCount() >= 2;
}

}  // namespace qv::cli
