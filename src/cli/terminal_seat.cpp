#include "cli/terminal_seat.h"

#include "cli/interruption.h"
#include "frontend/window_rules.h"
#include "workflow/version_text.h"

namespace qv::cli {

bool TerminalSeat::ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                                        const std::string& newVersion) {
    return confirmation_.Ask(progressSlot_, portLabel_, VersionChangeText(radioVersion, newVersion),
                             VersionChangeLine(radioVersion, newVersion));
}

void TerminalSeat::Progress(int blocksDone, int blocks) {
    if (blocksDone == 0) {
        progress_.SetRange(progressSlot_, 0, blocks);
    }
    if (writing_ != nullptr) {
        writing_->Blocks(progressSlot_, blocksDone);
    }
    progress_.SetPosition(progressSlot_, BarPosition(blocksDone, blocks));
}

void TerminalSeat::WritingBegins(const WriteJobOutcome& known) {
    if (writing_ != nullptr) {
        writing_->Begin(progressSlot_, recordPort_, known);
    }
}

void TerminalSeat::StatusText(const std::string& text, StatusKind kind) {
    progress_.SetStatus(progressSlot_, text, kind);
}

bool TerminalSeat::StopRequested(JobPhase /*phase*/) {
    return InterruptRequested();
}

}  // namespace qv::cli
