#include "frontend/job_log.h"

#include "serial/port_table.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"
#include "workflow/record_file.h"

namespace qv {

JobLog::JobLog(SettingsStore& settings, std::filesystem::path serviceLog)
    : settings_(settings), serviceLog_(std::move(serviceLog)) {}

bool JobLog::Record(const std::string& device, const WriteJobOutcome& outcome) {
    const bool logged =
        Append(JobRecordJson(ShownPortName(device), outcome, OutcomeCode(outcome), false));
    if (outcome.succeeded) {
        ++updatedThisSession_;
        settings_.SetValue(kRadioPortKey, StablePortName(device));
    }
    return logged;
}

std::string JobLog::RememberedPort() const {
    return settings_.Value(kRadioPortKey).value_or(std::string());
}

bool JobLog::Append(const std::string& line) {
    logFailure_.clear();
    if (serviceLog_.empty()) {
        return false;
    }
    return AppendRecordLine(serviceLog_.string(), line, logFailure_);
}

}  // namespace qv
