#pragma once
// What a window keeps of its jobs: a line per job in the service log (the same line as
// qv-flash --record), the port of the last successful update, and the radios updated since
// the window started.

#include <filesystem>
#include <string>

#include "frontend/settings_store.h"
#include "workflow/write_job.h"

namespace qv {

class JobLog {
  public:
    // serviceLog: the log's file, in the user's data folder; empty keeps no log.
    JobLog(SettingsStore& settings, std::filesystem::path serviceLog);

    // After each job on device. False when its line could not be appended (LogFailure says
    // why): the log is the workshop's proof, so the window tells it, but the job stays as it
    // ended.
    bool Record(const std::string& device, const WriteJobOutcome& outcome);
    // Why the last line could not be appended, in the system's words; empty after a line that
    // was, and when no log is kept.
    const std::string& LogFailure() const { return logFailure_; }
    // A status line with the log's failure beside it while there is one, as every window
    // shows it; the status as it is otherwise.
    std::string WithLogFailure(const std::string& status) const;

    int UpdatedThisSession() const { return updatedThisSession_; }
    // The stable name kept from the last successful update; empty if none.
    std::string RememberedPort() const;
    const std::filesystem::path& ServiceLogPath() const { return serviceLog_; }

  private:
    bool Append(const std::string& line);

    SettingsStore& settings_;
    std::filesystem::path serviceLog_;
    int updatedThisSession_ = 0;
    std::string logFailure_;
};

}  // namespace qv
