#include "cli/terminal_host.h"

#include "cli/interruption.h"
#include "workflow/worker_thread.h"

namespace qv::cli {

BoxAnswer TerminalHost::ShowMessage(const std::string& text, const std::string& /*caption*/,
                                    BoxButtons buttons, BoxIcon /*icon*/) {
    if (buttons == BoxButtons::OkCancel) {
        return confirmation_.Ask(progressSlot_, portLabel_, text);
    }
    return BoxAnswer::Ok;
}

void TerminalHost::SetProgressRange(int low, int high) {
    progress_.SetRange(progressSlot_, low, high);
}

void TerminalHost::SetProgressPosition(int position) {
    progress_.SetPosition(progressSlot_, position);
}

void TerminalHost::ShowStatus(const std::string& text, StatusKind kind) {
    progress_.SetStatus(progressSlot_, text, kind);
}

int TerminalHost::RunWorker(const std::function<int()>& work) {
    return RunOnWorkerThread(work);
}

bool TerminalHost::StopRequested(JobPhase /*phase*/) {
    return InterruptRequested();
}

}  // namespace qv::cli
