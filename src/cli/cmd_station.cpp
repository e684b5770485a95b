// qv-flash station: radio after radio, unattended. The question is asked once; then every port
// waits for a radio, writes it, records it, and waits for the next.

#include <CLI/CLI.hpp>
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
#include "frontend/next_radio_loop.h"
#include "workflow/job_messages.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"
#include "workflow/outcome_codes.h"
#include "workflow/version_text.h"

namespace qv::cli {

namespace {

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

class Station;

// One port of the station as the next-radio loop runs it: it waits, writes every radio that
// answers, records it, and goes on until the station ends; a port that does not open is tried
// again (a cable being plugged back in).
class StationPort final : public NextRadioView {
  public:
    StationPort(Station& station, std::size_t slot) : station_(station), slot_(slot) {}

    void Serve();

    void Waiting() override;
    void Answered() override;
    bool RadioEnded(const WriteJobOutcome& outcome) override;
    bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) override;
    void Pause(std::chrono::milliseconds time) override;
    bool StopRequested() override;

  private:
    Station& station_;
    std::size_t slot_;
    std::string shownPort_;
    RadioRun run_;  // the round's radio
};

class Station {
  public:
    Station(const StationOptions& options, RunSetup& setup)
        : options_(options),
          setup_(setup),
          tally_(options.count),
          screen_(stderr, IsTerminal(stderr) && !options.write.trace, options.write.ports, tally_) {
        input_ = setup.Input();
        settings_.trace = options.write.trace;
        settings_.labelled = true;
    }

    int Run();

  private:
    friend class StationPort;

    bool Serving() const { return !tally_.Ending() && InterruptCount() == 0; }
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

void StationPort::Serve() {
    shownPort_ = ShownPortName(station_.setup_.devices[slot_]);
    StationHost host(slot_, station_.screen_);
    RunNextRadioLoop(
        *this, host, station_.input_, [this](JobHost& round, const WriteJobInput& input) {
            run_ = RunRadio(station_.options_.write.ports[slot_], station_.setup_.devices[slot_],
                            station_.settings_, round, [&input](RadioLink& link, JobHost& h) {
                                return RunWriteJob(link, h, input);
                            });
            return run_.outcome;
        });
    station_.screen_.Live(slot_, "Stopped");
}

void StationPort::Waiting() {
    station_.screen_.Event(slot_, WaitingForRadioText(shownPort_));
}

void StationPort::Answered() {
    station_.screen_.Event(slot_, StepStatusText(Step::ReadIdentification, shownPort_));
}

// A failed radio stays in its boot loader and is written again at the next round.
bool StationPort::RadioEnded(const WriteJobOutcome& /*outcome*/) {
    station_.RadioEnded(slot_, run_);
    return true;
}

bool StationPort::PortFailed(const WriteJobOutcome& outcome, const HeldWords& /*held*/) {
    const std::string reason = DescribeOpenFailure(outcome.openFailure, run_.device);
    station_.screen_.Event(slot_, PortGoneText(reason.empty() ? kPortOpenFailedMessage : reason));
    return true;
}

void StationPort::Pause(std::chrono::milliseconds time) {
    PauseUnlessStopped(time, [this] { return StopRequested(); });
}

bool StationPort::StopRequested() {
    return !station_.Serving();
}

void Station::RadioEnded(std::size_t slot, const RadioRun& run) {
    tally_.Count(run.outcome, run.exitCode);
    screen_.Event(slot, OutcomeStatusText(ShownPortName(run.device), run.outcome));
    const std::string line =
        JobRecordJson(ShownPortName(run.device), run.outcome, run.exitCode, false);
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
            threads.emplace_back([this, slot] { StationPort(*this, slot).Serve(); });
        } catch (const std::system_error&) {
            screen_.Event(slot, kNoThreadMessage);
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    screen_.Finish();
    const int exitCode = tally_.ExitCode();
    // Under --json stdout holds JSON lines alone: the summary is an object of its own.
    if (options_.write.json) {
        PrintLine(stdout, tally_.SummaryJson());
    }
    PrintLine(exitCode == kExitSuccess && !options_.write.json ? stdout : stderr, tally_.Summary());
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
