#include "frontend/job_log.h"

#include "frontend/window_texts.h"
#include "image/file_path.h"
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

std::string JobLog::WithLogFailure(const std::string& status) const {
    return logFailure_.empty() ? status : NotLoggedText(status, logFailure_);
}

bool JobLog::Append(const std::string& line) {
    logFailure_.clear();
    if (serviceLog_.empty()) {
        return false;
    }
    return AppendRecordLine(Utf8FromPath(serviceLog_), line, logFailure_);
}

}  // namespace qv
