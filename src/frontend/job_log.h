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

    // After each job on device. False when its line could not be appended: the log serves the
    // workshop, and a log that cannot be written changes nothing of the job.
    bool Record(const std::string& device, const WriteJobOutcome& outcome);

    int UpdatedThisSession() const { return updatedThisSession_; }
    // The stable name kept from the last successful update; empty if none.
    std::string RememberedPort() const;
    const std::filesystem::path& ServiceLogPath() const { return serviceLog_; }

  private:
    bool Append(const std::string& line) const;

    SettingsStore& settings_;
    std::filesystem::path serviceLog_;
    int updatedThisSession_ = 0;
};

}  // namespace qv
