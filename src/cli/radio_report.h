#pragma once
// What qv-flash tells about one radio after its job: the worst exit code of several, the line
// about what the link-up heard.

#include <string>
#include <vector>

#include "protocol/radio_link.h"
#include "workflow/write_job.h"

namespace qv::cli {

// With several radios: the worst code wins. An interrupted write has left a radio half written
// and ranks first; a failed connection may have, so it ranks above a wrong model, a port that
// did not open, a radio that could not be recorded and a cancel.
int WorstExitCode(const std::vector<int>& codes);

// True when the job ended in its link-up.
bool LinkUpFailed(const WriteJobOutcome& outcome);

// One line on what the link-up heard: nothing at any speed, SYN but no ACK, other bytes.
std::string DescribeLinkUp(const std::vector<LinkUpAttempt>& attempts);

// The summary's line on the radios whose record line could not be written: "1 radio not
// recorded: No space left on device" (the first reason).
std::string NotRecordedText(int radios, const std::string& reason);
// As it happens: "/dev/ttyUSB0: not recorded in shop.jsonl: No space left on device".
std::string RecordFailedLine(const std::string& port, const std::string& path,
                             const std::string& reason);

}  // namespace qv::cli
