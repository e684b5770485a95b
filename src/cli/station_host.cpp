#include "cli/station_host.h"

#include <algorithm>

#include "cli/interruption.h"
#include "workflow/worker_thread.h"

namespace qv::cli {

void StationHost::StepStarted(Step step) {
    if (step == Step::TransferBlocks) {
        countTold_ = false;
    }
}

void StationHost::ShowStatus(const std::string& text, StatusKind kind) {
    if (kind == StatusKind::Progress && !countTold_) {
        countTold_ = true;
        screen_.Event(slot_, text);
        return;
    }
    screen_.Live(slot_, text);
}

void StationHost::SetProgressRange(int /*low*/, int high) {
    blocks_ = high;
}

// Position i once block i is handled, the block count once all are.
void StationHost::SetProgressPosition(int position) {
    if (writing_ != nullptr && position >= 0) {
        writing_->Blocks(slot_, std::min(position + 1, blocks_));
    }
}

void StationHost::WritingBegins(const WriteJobOutcome& known) {
    if (writing_ != nullptr) {
        writing_->Begin(slot_, recordPort_, known);
    }
}

int StationHost::RunWorker(const std::function<int()>& work) {
    return RunOnWorkerThread(work);
}

bool StationHost::StopRequested(JobPhase /*phase*/) {
    return InterruptCount() >= 2;
}

}  // namespace qv::cli
