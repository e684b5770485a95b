#include "cli/station_tally.h"

#include "cli/radio_report.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

bool StationTally::Admit() {
    std::lock_guard lock(mutex_);
    if (FullLocked()) {
        return false;
    }
    ++writing_;
    return true;
}

bool StationTally::Full() const {
    std::lock_guard lock(mutex_);
    return FullLocked();
}

bool StationTally::FullLocked() const {
    return limit_ > 0 && updated_ + failed_ + refused_ + writing_ >= limit_;
}

void StationTally::Count(const WriteJobOutcome& outcome, int exitCode) {
    std::lock_guard lock(mutex_);
    --writing_;
    if (outcome.succeeded) {
        ++updated_;
    } else if (outcome.status == StatusModelMismatch) {
        ++refused_;
    } else if (outcome.status == StatusCancelled && !outcome.interrupted) {
        return;  // sent away while the station ends: neither written nor failed
    } else {
        ++failed_;
    }
    codes_.push_back(exitCode);
    if (limit_ > 0 && updated_ + failed_ + refused_ >= limit_) {
        ending_ = true;
    }
}

void StationTally::NotRecorded(const std::string& reason) {
    std::lock_guard lock(mutex_);
    if (notRecorded_++ == 0) {
        recordFailure_ = reason;
    }
}

void StationTally::PortGivenUp(int exitCode) {
    std::lock_guard lock(mutex_);
    ++failed_;
    codes_.push_back(exitCode);
}

bool StationTally::Ending() const {
    std::lock_guard lock(mutex_);
    return ending_;
}

std::string StationTally::Summary() const {
    std::lock_guard lock(mutex_);
    return "Updated " + std::to_string(updated_) + (updated_ == 1 ? " radio, " : " radios, ") +
           std::to_string(failed_) + " failed, " + std::to_string(refused_) + " refused.";
}

std::string StationTally::NotRecordedSummary() const {
    std::lock_guard lock(mutex_);
    return NotRecordedLocked();
}

std::string StationTally::NotRecordedLocked() const {
    return notRecorded_ > 0 ? NotRecordedText(notRecorded_, recordFailure_) : std::string();
}

std::string StationTally::SummaryJson() const {
    const std::string summary = Summary();
    std::lock_guard lock(mutex_);
    const int exitCode = ExitCodeLocked();
    JsonValue object = {{"summary", summary},
                        {"updated", updated_},
                        {"failed", failed_},
                        {"refused", refused_},
                        {"notRecorded", notRecorded_}};
    if (exitCode != kExitSuccess) {
        object["error"] = exitCode == kExitNotRecorded ? NotRecordedLocked() : summary;
    }
    object["exitCode"] = exitCode;
    return JsonLine(object);
}

int StationTally::ExitCode() const {
    std::lock_guard lock(mutex_);
    return ExitCodeLocked();
}

// Refusals alone exit 0: another model's radio was sent away, as it should be.
int StationTally::ExitCodeLocked() const {
    if (failed_ == 0) {
        return notRecorded_ > 0 ? kExitNotRecorded : kExitSuccess;
    }
    std::vector<int> codes = codes_;
    if (notRecorded_ > 0) {
        codes.push_back(kExitNotRecorded);
    }
    return WorstExitCode(codes);
}

}  // namespace qv::cli
