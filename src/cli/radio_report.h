#pragma once
// What qv-flash tells about one radio after its job: the exit code, the line about what the
// link-up heard, the JSON object of --json and --record.

#include <string>
#include <vector>

#include "protocol/radio_link.h"
#include "workflow/write_job.h"

namespace qv::cli {

int ExitCodeFor(const WriteJobOutcome& outcome);

// With several radios: the worst code wins. A failed connection may have left a radio half
// written, so it ranks above a wrong model, a port that did not open and a cancel.
int WorstExitCode(const std::vector<int>& codes);

// The application's message for the outcome (after a cancel: "Operation has been canceled").
std::string OutcomeMessage(const WriteJobOutcome& outcome);

// True when the job ended in its link-up.
bool LinkUpFailed(const WriteJobOutcome& outcome);

// One line on what the link-up heard: nothing at any speed, SYN but no ACK, other bytes.
std::string DescribeLinkUp(const std::vector<LinkUpAttempt>& attempts);

// The radio's line of --record and its entry in --json.
std::string RadioJson(const std::string& port, const WriteJobOutcome& outcome, int exitCode,
                      bool withSteps);

// "2026-12-10T00:16:04Z"
std::string UtcTimestamp();

// Appends one line to the file; false when it cannot be written. Safe from several threads.
bool AppendLine(const std::string& path, const std::string& line);

}  // namespace qv::cli
