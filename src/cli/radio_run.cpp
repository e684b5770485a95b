#include "cli/radio_run.h"

#include <algorithm>
#include <optional>

#include "cli/console.h"
#include "cli/port_argument.h"
#include "cli/radio_report.h"
#include "cli/traffic_trace.h"
#include "workflow/job_record.h"

namespace qv::cli {

RadioRun RunRadio(const std::string& port, const RadioRunSettings& settings, TerminalHost& host,
                  const JobRunner& runJob) {
    RadioRun run;
    run.port = port;
    RadioLink link;
    SelectPort(link, port);
    std::optional<TrafficTrace> trace;
    if (settings.trace) {
        trace.emplace(stderr, settings.labelled ? port : std::string(), settings.start);
        link.SetTrafficObserver(&*trace);
    }
    run.outcome = runJob(link, host);
    link.SetTrafficObserver(nullptr);
    run.linkUp = link.LastLinkUp();
    run.exitCode = OutcomeCode(run.outcome);
    return run;
}

void PrintOutcome(const RadioRun& run, bool labelled) {
    std::FILE* stream = run.exitCode == 0 ? stdout : stderr;
    const std::string prefix = labelled ? run.port + ": " : std::string();
    if (LinkUpFailed(run.outcome)) {
        PrintLine(stderr, prefix + DescribeLinkUp(run.linkUp));
    }
    std::string message = OutcomeMessage(run.outcome);
    if (labelled) {
        std::replace(message.begin(), message.end(), '\n', ' ');
    }
    if (!message.empty()) {
        PrintLine(stream, prefix + message);
    }
}

}  // namespace qv::cli
