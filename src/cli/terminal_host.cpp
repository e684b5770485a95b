#include "cli/terminal_host.h"

#include <algorithm>

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
    blocks_ = high;
    progress_.SetRange(progressSlot_, low, high);
}

// Position i once block i is handled, the block count once all are.
void TerminalHost::SetProgressPosition(int position) {
    if (writing_ != nullptr && position >= 0) {
        writing_->Blocks(progressSlot_, std::min(position + 1, blocks_));
    }
    progress_.SetPosition(progressSlot_, position);
}

void TerminalHost::WritingBegins(const WriteJobOutcome& known) {
    if (writing_ != nullptr) {
        writing_->Begin(progressSlot_, recordPort_, known);
    }
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
