#include "cli/radio_run.h"

#include <algorithm>
#include <optional>

#include "cli/busy_port_hint.h"
#include "cli/console.h"
#include "cli/interruption.h"
#include "cli/ports_format.h"
#include "cli/radio_report.h"
#include "cli/traffic_trace.h"
#include "workflow/job_record.h"

namespace qv::cli {

RadioRun RunRadio(const std::string& port, const std::string& device,
                  const RadioRunSettings& settings, JobSeat& seat, const WriteJobInput& input) {
    RadioRun run;
    run.port = port;
    run.device = device;
    RadioLink link;
    link.SetDevicePath(device);
    std::optional<TrafficTrace> trace;
    if (settings.trace) {
        trace.emplace(stderr, settings.labelled ? port : std::string(), settings.start);
        link.SetTrafficObserver(&*trace);
    }
    run.outcome = RunJob(link, seat, input);
    link.SetTrafficObserver(nullptr);
    run.linkUp = link.LastLinkUp();
    run.exitCode = run.outcome.interrupted ? InterruptedExitCode() : OutcomeCode(run.outcome);
    return run;
}

std::string DescribeOpenFailure(OpenFailure failure, const std::string& device) {
    switch (failure) {
        case OpenFailure::Missing:
            return device + ": no such device";
        case OpenFailure::PermissionDenied:
            return device + ": no permission: " + PermissionFix(DescribeDevice(device));
        case OpenFailure::InUse:
            return device + " is in use by another program: " + BusyPortCauses();
        case OpenFailure::NotATerminal:
            return device + " is not a serial port";
        case OpenFailure::ControllingTerminal:
            return device + " is the terminal qv-flash runs on, not the radio's port";
        default:
            return {};
    }
}

void PrintOutcome(const RadioRun& run, bool labelled) {
    std::FILE* stream = run.exitCode == 0 ? stdout : stderr;
    const std::string prefix = labelled ? run.port + ": " : std::string();
    if (run.outcome.status == StatusPortOpenFailed) {
        const std::string reason = DescribeOpenFailure(run.outcome.openFailure, run.device);
        if (!reason.empty()) {
            PrintLine(stderr, prefix + reason);
        }
    } else if (LinkUpFailed(run.outcome)) {
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
