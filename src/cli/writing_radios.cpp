#include "cli/writing_radios.h"

#include "workflow/job_messages.h"
#include "workflow/job_record.h"

namespace qv::cli {

void WritingRadios::Begin(std::size_t slot, const std::string& port, const WriteJobOutcome& known) {
    std::lock_guard lock(mutex_);
    radios_[slot] = {port, known, std::chrono::steady_clock::now()};
}

void WritingRadios::Blocks(std::size_t slot, int blocks) {
    std::lock_guard lock(mutex_);
    const auto found = radios_.find(slot);
    if (found != radios_.end()) {
        found->second.known.blocksSent = blocks;
    }
}

bool WritingRadios::Finish(std::size_t slot, const std::string& line, bool halfWritten,
                           std::string& reason) {
    std::lock_guard lock(mutex_);
    radios_.erase(slot);
    halfWritten_ = halfWritten_ || halfWritten;
    return record_->Append(line, reason);
}

bool WritingRadios::RecordInterrupted(int exitCode, bool& halfWritten, std::string& reason) {
    std::lock_guard lock(mutex_);
    halfWritten = halfWritten_ || !radios_.empty();
    bool recorded = true;
    for (auto& [slot, radio] : radios_) {
        WriteJobOutcome outcome = radio.known;
        outcome.interrupted = true;
        outcome.closingMessage = kInterruptedMessage;
        for (const StepReport& step : outcome.steps) {
            outcome.duration += step.duration;
        }
        outcome.duration += std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - radio.began);
        if (!record_->Append(JobRecordJson(radio.port, outcome, exitCode, false), reason)) {
            recorded = false;
        }
    }
    radios_.clear();
    return recorded;
}

}  // namespace qv::cli
