#include "frontend/job_log.h"

#include <system_error>

#include "serial/port_table.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"

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

bool JobLog::Append(const std::string& line) const {
    if (serviceLog_.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(serviceLog_.parent_path(), error);
    return !error && AppendLine(serviceLog_, line);
}

}  // namespace qv
