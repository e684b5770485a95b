#pragma once
// What a station has done over all its ports: radios updated, failed and refused, radios whose
// record line could not be written, the exit code they add up to, and whether --count has been
// reached.

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

    // A radio has answered on a port: true when it may be written, false when the radios
    // ended and those being written already make the limit (it is left untouched). A radio
    // let through is given back by Count.
    bool Admit();
    // A radio that Admit let through has ended with this outcome and exit code.
    void Count(const WriteJobOutcome& outcome, int exitCode);
    // Its record line could not be written, for this reason.
    void NotRecorded(const std::string& reason);
    // A port was given up (it can never be the radio's port), with this exit code.
    void PortGivenUp(int exitCode);
    // True once the limit is reached: the ports stop looking for radios.
    bool Ending() const;
    // True once the radios ended and those being written make the limit: a port without a
    // radio of its own stops looking, and a radio waiting there stays in its boot loader.
    bool Full() const;
    // "Updated 12 radios, 1 failed, 1 refused."
    std::string Summary() const;
    // "1 radio not recorded: No space left on device"; empty when every line was written.
    std::string NotRecordedSummary() const;
    // The same as one JSON object, for --json: summary, updated, failed, refused,
    // notRecorded, exitCode, and the error when the exit code is not 0.
    std::string SummaryJson() const;
    // 0 when no radio failed and every line was recorded, otherwise the worst code of the
    // radios, the record's failure among them.
    int ExitCode() const;

  private:
    bool FullLocked() const;
    int ExitCodeLocked() const;
    std::string NotRecordedLocked() const;

    mutable std::mutex mutex_;
    int limit_;
    int updated_ = 0;
    int failed_ = 0;
    int refused_ = 0;
    int writing_ = 0;  // admitted, not ended yet
    int notRecorded_ = 0;
    std::string recordFailure_;  // the first reason
    bool ending_ = false;
    std::vector<int> codes_;
};

}  // namespace qv::cli
