#include "cli/station_tally.h"

#include "cli/radio_report.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

void StationTally::Count(const WriteJobOutcome& outcome, int exitCode) {
    std::lock_guard lock(mutex_);
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

bool StationTally::Ending() const {
    std::lock_guard lock(mutex_);
    return ending_;
}

std::string StationTally::Summary() const {
    std::lock_guard lock(mutex_);
    return "Updated " + std::to_string(updated_) + (updated_ == 1 ? " radio, " : " radios, ") +
           std::to_string(failed_) + " failed, " + std::to_string(refused_) + " refused.";
}

std::string StationTally::SummaryJson() const {
    const std::string summary = Summary();
    const int exitCode = ExitCode();
    std::lock_guard lock(mutex_);
    return JsonLine({{"summary", summary},
                     {"updated", updated_},
                     {"failed", failed_},
                     {"refused", refused_},
                     {"exitCode", exitCode}});
}

int StationTally::ExitCode() const {
    std::lock_guard lock(mutex_);
    return failed_ == 0 ? kExitSuccess : WorstExitCode(codes_);
}

}  // namespace qv::cli
