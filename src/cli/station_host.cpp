#include "cli/station_host.h"

#include "cli/interruption.h"
#include "workflow/worker_thread.h"

namespace qv::cli {

void StationHost::StepStarted(Step step) {
    if (step == Step::TransferBlocks) {
        writing_ = false;
    }
}

void StationHost::ShowStatus(const std::string& text, StatusKind kind) {
    if (kind == StatusKind::Progress && !writing_) {
        writing_ = true;
        screen_.Event(slot_, text);
        return;
    }
    screen_.Live(slot_, text);
}

int StationHost::RunWorker(const std::function<int()>& work) {
    return RunOnWorkerThread(work);
}

bool StationHost::StopRequested(JobPhase /*phase*/) {
    return InterruptCount() >= 2;
}

}  // namespace qv::cli
