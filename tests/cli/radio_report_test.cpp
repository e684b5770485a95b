// What qv-flash says about a radio: the line on what the link-up heard, the worst exit code.

#include <gtest/gtest.h>

#include "cli/radio_report.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {
namespace {

std::vector<LinkUpAttempt> Attempts(int count) {
    std::vector<LinkUpAttempt> attempts;
    for (int i = 0; i < count; ++i) {
        attempts.push_back({std::string(kSpeedTable[static_cast<std::size_t>(i)])});
    }
    return attempts;
}

TEST(RadioReportTest, LinkUpLineSaysWhatWasHeard) {
    auto synAt4800 = Attempts(7);
    synAt4800[2].synSeen = true;
    auto noise = Attempts(7);
    noise[0].otherBytes = 3;
    noise[6].synSeen = true;
    noise[6].otherBytes = 1;
    struct Case {
        std::vector<LinkUpAttempt> attempts;
        const char* line;
    };
    const Case cases[] = {
        {Attempts(7),
         "Link-up: heard nothing at any speed (9600, 19200, 4800, 2400, 1200, 38400, 57600 baud)."},
        {synAt4800, "Link-up: heard SYN at 4800 baud but no ACK at 19200 baud."},
        {noise,
         "Link-up: heard 3 byte(s) at 9600 baud that were neither SYN nor ACK; SYN at 57600 baud "
         "but no ACK at 19200 baud."},
        {Attempts(2), "Link-up: the probe could not be sent at 19200 baud."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeLinkUp(c.attempts), c.line);
    }
}

TEST(RadioReportTest, AHalfWrittenRadioIsTheWorstOutcome) {
    struct Case {
        std::vector<int> codes;
        int worst;
    };
    const Case cases[] = {
        {{kExitSuccess, kExitSuccess}, kExitSuccess},
        {{kExitSuccess, kExitCancelled}, kExitCancelled},
        {{kExitCancelled, kExitPortNotOpened}, kExitPortNotOpened},
        {{kExitModelMismatch, kExitPortNotOpened}, kExitModelMismatch},
        {{kExitConnection, kExitModelMismatch, kExitSuccess}, kExitConnection},
        // A radio written but not recorded is a failure, below those of the radios.
        {{kExitSuccess, kExitNotRecorded}, kExitNotRecorded},
        {{kExitCancelled, kExitNotRecorded}, kExitNotRecorded},
        {{kExitNotRecorded, kExitPortNotOpened}, kExitPortNotOpened},
        {{kExitNotRecorded, 130}, 130},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WorstExitCode(c.codes), c.worst);
    }
}

}  // namespace
}  // namespace qv::cli
