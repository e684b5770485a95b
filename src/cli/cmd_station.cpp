// qv-flash station: radio after radio, unattended. The question is asked once; then every port
// waits for a radio, writes it, records it, and waits for the next.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

#include "cli/commands.h"
#include "cli/confirmation.h"
#include "cli/console.h"
#include "cli/interruption.h"
#include "cli/radio_report.h"
#include "cli/radio_run.h"
#include "cli/run_setup.h"
#include "cli/station_host.h"
#include "cli/station_screen.h"
#include "cli/station_tally.h"
#include "cli/write_options.h"
#include "workflow/job_messages.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"
#include "workflow/outcome_codes.h"
#include "workflow/version_text.h"

namespace qv::cli {

namespace {

// After a port that did not open, before it is tried again (a cable being plugged back in).
constexpr std::chrono::seconds kPortRetryPause{1};

struct StationOptions {
    WriteOptions write;
    int count = 0;
};

// The one question of the station, for every radio that will come.
bool AskOnce(const StationOptions& options, const RunSetup& setup, std::FILE* out) {
    std::string ports;
    for (const std::string& port : options.write.ports) {
        ports += (ports.empty() ? "" : ", ") + port;
    }
    const std::string text = " Please confirm: write Ver. " +
                             VersionText(setup.image.versionLabel) +
                             " into every radio that comes on " + ports + ".";
    Confirmation question(options.write.yes, 1, out, stdin);
    return question.Ask(0, "", text) == BoxAnswer::Ok;
}

class Station {
  public:
    Station(const StationOptions& options, RunSetup& setup)
        : options_(options),
          setup_(setup),
          tally_(options.count),
          screen_(stderr, IsTerminal(stderr) && !options.write.trace, options.write.ports, tally_) {
        input_ = setup.Input();
        input_.endSessionWhenRefused = true;
        settings_.trace = options.write.trace;
        settings_.labelled = true;
    }

    int Run();

  private:
    bool Serving() const { return !tally_.Ending() && InterruptCount() == 0; }
    void ServePort(std::size_t slot);
    void RadioEnded(std::size_t slot, const RadioRun& run);

    const StationOptions& options_;
    RunSetup& setup_;
    StationTally tally_;
    StationScreen screen_;
    WriteJobInput input_;
    RadioRunSettings settings_;
    bool interrupted_ = false;  // a radio was left half written
    std::mutex mutex_;
};

void Station::ServePort(std::size_t slot) {
    const std::string& port = options_.write.ports[slot];
    const std::string waiting = WaitingForRadioText(ShownPortName(setup_.devices[slot]));
    while (Serving()) {
        screen_.Event(slot, waiting);
        StationHost host(slot, screen_, tally_);
        const RadioRun run =
            RunRadio(port, setup_.devices[slot], settings_, host,
                     [this](RadioLink& link, JobHost& h) { return RunWriteJob(link, h, input_); });
        if (run.outcome.status == StatusPortOpenFailed) {
            const std::string reason = DescribeOpenFailure(run.openFailure, run.device);
            screen_.Event(slot, reason.empty() ? kPortOpenFailedMessage : reason);
            std::this_thread::sleep_for(kPortRetryPause);
            continue;
        }
        if (!run.outcome.identified) {
            continue;  // nobody answered this round: no radio yet, no error
        }
        RadioEnded(slot, run);
    }
    screen_.Live(slot, "Stopped");
}

void Station::RadioEnded(std::size_t slot, const RadioRun& run) {
    tally_.Count(run.outcome, run.exitCode);
    screen_.Event(slot, OutcomeStatusText(ShownPortName(run.device), run.outcome));
    const std::string line = JobRecordJson(run.port, run.outcome, run.exitCode, false);
    if (setup_.record && !setup_.record->Append(line)) {
        PrintLine(stderr, "qv-flash: cannot append to the record " + setup_.record->Path());
    }
    if (options_.write.json) {
        PrintLine(stdout, line);
    }
    std::lock_guard lock(mutex_);
    interrupted_ = interrupted_ || run.outcome.interrupted;
}

int Station::Run() {
    std::vector<std::thread> threads;
    for (std::size_t slot = 0; slot < options_.write.ports.size(); ++slot) {
        try {
            threads.emplace_back([this, slot] { ServePort(slot); });
        } catch (const std::system_error&) {
            screen_.Event(slot, kNoThreadMessage);
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    screen_.Finish();
    const int exitCode = tally_.ExitCode();
    PrintLine(exitCode == kExitSuccess ? stdout : stderr, tally_.Summary());
    if (interrupted_) {
        PrintLine(stderr, kInterruptedMessage);
    }
    return exitCode;
}

int RunStation(const StationOptions& options) {
    int exitCode = kExitSuccess;
    const std::unique_ptr<RunSetup> setup = PrepareRun("station", options.write, exitCode);
    if (!setup) {
        return exitCode;
    }
    InstallInterruptionHandlers(3);
    if (!AskOnce(options, *setup, options.write.json ? stderr : stdout)) {
        PrintLine(stderr, kCancelledMessage);
        return kExitCancelled;
    }
    Station station(options, *setup);
    return station.Run();
}

}  // namespace

Command AddStationCommand(CLI::App& app) {
    auto* sub = app.add_subcommand(
        "station", "Write radio after radio as they come, on one port or several, until Ctrl+C");
    auto options = std::make_shared<StationOptions>();
    AddWriteOptions(*sub, options->write);
    sub->add_option("--count", options->count,
                    "End after N radios have ended (updated, failed or refused)")
        ->check(CLI::PositiveNumber);
    sub->footer(
        "Asks once, then on every port waits for a radio, writes it without a further question, "
        "records it and waits for the next. A radio of another model is refused and sent out "
        "of its boot loader. Ctrl+C ends the station once the radios being written are done; "
        "a second Ctrl+C interrupts them. Exit codes: 0 when no radio failed, otherwise the "
        "worst code of the radios (as write's); 2 usage error, 3 image not valid, 6 cancelled "
        "at the question.");
    return {sub, [options] { return RunStation(*options); }};
}

}  // namespace qv::cli
