#include "cli/radio_report.h"

#include <algorithm>
#include <iterator>

#include "workflow/outcome_codes.h"

namespace qv::cli {

int WorstExitCode(const std::vector<int>& codes) {
    static constexpr int kRanking[] = {kExitSuccess,       kExitCancelled,     kExitNotRecorded,
                                       kExitPortNotOpened, kExitModelMismatch, kExitImageNotValid,
                                       kExitUsage,         kExitConnection};
    // An interrupted write (128 + the signal) ranks above all: that radio is half written.
    auto rank = [](int code) {
        const auto* found = std::find(std::begin(kRanking), std::end(kRanking), code);
        return found != std::end(kRanking) ? found - std::begin(kRanking)
                                           : std::end(kRanking) - std::begin(kRanking);
    };
    int worst = kExitSuccess;
    for (const int code : codes) {
        if (rank(code) > rank(worst)) {
            worst = code;
        }
    }
    return worst;
}

std::string NotRecordedText(int radios, const std::string& reason) {
    return std::to_string(radios) + (radios == 1 ? " radio" : " radios") +
           " not recorded: " + reason;
}

std::string RecordFailedLine(const std::string& port, const std::string& path,
                             const std::string& reason) {
    return port + ": not recorded in " + path + ": " + reason;
}

bool LinkUpFailed(const WriteJobOutcome& outcome) {
    return outcome.status != StatusCancelled && !outcome.steps.empty() &&
           outcome.steps.back().step == Step::LinkUp && !outcome.steps.back().succeeded;
}

std::string DescribeLinkUp(const std::vector<LinkUpAttempt>& attempts) {
    // The link-up tries every speed unless a probe cannot be written.
    if (attempts.size() < static_cast<std::size_t>(kLinkUpAttempts)) {
        const std::string speed =
            attempts.empty() ? std::string("the first") : attempts.back().speed;
        return "Link-up: the probe could not be sent at " + speed + " baud.";
    }
    std::vector<std::string> heard;
    for (const LinkUpAttempt& attempt : attempts) {
        if (attempt.synSeen && !attempt.ackSeen) {
            heard.push_back("SYN at " + attempt.speed + " baud but no ACK at 19200 baud");
        } else if (attempt.otherBytes > 0) {
            heard.push_back(std::to_string(attempt.otherBytes) + " byte(s) at " + attempt.speed +
                            " baud that were neither SYN nor ACK");
        }
    }
    if (heard.empty()) {
        std::string speeds;
        for (const LinkUpAttempt& attempt : attempts) {
            speeds += (speeds.empty() ? "" : ", ") + attempt.speed;
        }
        return "Link-up: heard nothing at any speed (" + speeds + " baud).";
    }
    std::string text = "Link-up: heard ";
    for (std::size_t i = 0; i < heard.size(); ++i) {
        text += (i == 0 ? "" : "; ") + heard[i];
    }
    return text + ".";
}

}  // namespace qv::cli
