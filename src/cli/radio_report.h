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
// did not open and a cancel.
int WorstExitCode(const std::vector<int>& codes);

// True when the job ended in its link-up.
bool LinkUpFailed(const WriteJobOutcome& outcome);

// One line on what the link-up heard: nothing at any speed, SYN but no ACK, other bytes.
std::string DescribeLinkUp(const std::vector<LinkUpAttempt>& attempts);

}  // namespace qv::cli
