#include "frontend/job_log.h"

#include "frontend/window_texts.h"
#include "image/file_path.h"
#include "serial/port_table.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"
#include "workflow/record_file.h"

namespace qv {

bool ServiceLogFile::Append(const std::string& line, std::string& failure) {
    if (path_.empty()) {
        return false;
    }
    return AppendRecordLine(Utf8FromPath(path_), line, failure);
}

JobLog::JobLog(SettingsStore& settings, ServiceLog& serviceLog)
    : settings_(settings), serviceLog_(serviceLog) {}

bool JobLog::Record(const std::string& device, const WriteJobOutcome& outcome) {
    logFailure_.clear();
    const bool logged = serviceLog_.Append(
        JobRecordJson(ShownPortName(device), outcome, OutcomeCode(outcome), false), logFailure_);
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

}  // namespace qv
