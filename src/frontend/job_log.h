#pragma once
// What a window keeps of its jobs: a line per job in the service log (the same line as
// qv-flash --record), the port of the last successful update, and the radios updated since
// the window started.

#include <filesystem>
#include <string>

#include "frontend/settings_store.h"
#include "workflow/write_job.h"

namespace qv {

// Where the job lines go: a file in the user's data folder natively, the browser's storage in
// the web page.
class ServiceLog {
  public:
    virtual ~ServiceLog() = default;
    // Appends one whole line; false with the reason, in the system's words, when it could not.
    virtual bool Append(const std::string& line, std::string& failure) = 0;
};

// The log as a file, each line whole or absent (AppendRecordLine). An empty path keeps no log.
class ServiceLogFile final : public ServiceLog {
  public:
    explicit ServiceLogFile(std::filesystem::path path) : path_(std::move(path)) {}
    bool Append(const std::string& line, std::string& failure) override;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

class JobLog {
  public:
    JobLog(SettingsStore& settings, ServiceLog& serviceLog);

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

  private:
    SettingsStore& settings_;
    ServiceLog& serviceLog_;
    int updatedThisSession_ = 0;
    std::string logFailure_;
};

}  // namespace qv
