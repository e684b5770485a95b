#include "cli/station_host.h"

#include "cli/interruption.h"
#include "workflow/worker_thread.h"

namespace qv::cli {

BoxAnswer StationHost::ShowMessage(const std::string& /*text*/, const std::string& /*caption*/,
                                   BoxButtons buttons, BoxIcon /*icon*/) {
    if (buttons == BoxButtons::OkCancel) {
        screen_.Event(slot_, lastStatus_);
    }
    return BoxAnswer::Ok;
}

void StationHost::ShowStatus(const std::string& text, StatusKind kind) {
    lastStatus_ = text;
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

bool StationHost::StopRequested(JobPhase phase) {
    if (InterruptCount() >= 2) {
        return true;
    }
    return (InterruptCount() == 1 || tally_.Ending()) && phase == JobPhase::Preparing;
}

}  // namespace qv::cli
