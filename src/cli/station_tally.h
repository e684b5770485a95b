#pragma once
// What a station has done over all its ports: radios updated, failed and refused, the exit
// code they add up to, and whether --count has been reached.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "workflow/json_line.h"
#include "workflow/write_job.h"

namespace qv::cli {

class StationTally {
  public:
    // limit: end after this many radios have ended (updated, failed or refused); 0: no limit.
    explicit StationTally(int limit) : limit_(limit) {}

    // A radio has ended with this outcome and exit code.
    void Count(const WriteJobOutcome& outcome, int exitCode);
    // True once the limit is reached: the ports stop looking for radios.
    bool Ending() const;
    // "Updated 12 radios, 1 failed, 1 refused."
    std::string Summary() const;
    // The same as one JSON object, for --json: summary, updated, failed, refused, exitCode.
    std::string SummaryJson() const;
    // 0 when no radio failed, otherwise the worst code of the radios.
    int ExitCode() const;

  private:
    mutable std::mutex mutex_;
    int limit_;
    int updated_ = 0;
    int failed_ = 0;
    int refused_ = 0;
    bool ending_ = false;
    std::vector<int> codes_;
};

}  // namespace qv::cli
