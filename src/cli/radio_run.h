#pragma once
// One radio's job as qv-flash runs it: its own link on the port, the terminal as host, the
// trace when asked for; and the lines that tell the outcome.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "cli/terminal_seat.h"
#include "protocol/radio_link.h"
#include "workflow/write_job.h"

namespace qv::cli {

// Several radios run on a thread each; the system may refuse one (a limit on threads).
inline constexpr const char* kNoThreadMessage =
    "No thread could be started for this radio (a system limit): the radio was not touched.";

struct RadioRun {
    std::string port;    // as the user named it: a number of the port table or a path
    std::string device;  // what it was opened as
    WriteJobOutcome outcome;
    std::vector<LinkUpAttempt> linkUp;  // what the link-up heard
    int exitCode = 0;
    std::string recordFailure;  // why its record line could not be written; empty if it was
};

struct RadioRunSettings {
    bool trace = false;
    bool labelled = false;  // several radios: lines carry the port's name
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

// device: the port resolved once for the run (ResolvePort). The job runs on the caller's thread,
// with its own link.
RadioRun RunRadio(const std::string& port, const std::string& device,
                  const RadioRunSettings& settings, JobSeat& seat, const WriteJobInput& input);

// The closing lines of a radio: why its port did not open, or what the link-up heard (when it
// failed), and the message, on stdout after a success and on stderr otherwise. With a label,
// one line each.
void PrintOutcome(const RadioRun& run, bool labelled);

// Why the device did not open, in words, with the way out where there is one.
std::string DescribeOpenFailure(OpenFailure failure, const std::string& device);

}  // namespace qv::cli
