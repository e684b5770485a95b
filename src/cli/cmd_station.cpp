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
#include "cli/json_failure.h"
#include "cli/port_argument.h"
#include "cli/radio_report.h"
#include "cli/radio_run.h"
#include "cli/run_setup.h"
#include "cli/station_screen.h"
#include "cli/station_seat.h"
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
    return question.Ask(0, "", text);
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
    bool Answered() override;
    bool RadioEnded(const WriteJobOutcome& outcome) override;
    bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) override;
    void Pause(std::chrono::milliseconds time) override;
    bool StopRequested() override;

  private:
    Station& station_;
    std::size_t slot_;
    std::string shownPort_;
    RadioRun run_;           // the round's radio
    bool admitted_ = false;  // the round's radio answered and --count left room for it
    bool givenUp_ = false;   // the port can never be a serial port
};

class Station {
  public:
    Station(const StationOptions& options, RunSetup& setup, WritingRadios* writing)
        : options_(options),
          setup_(setup),
          writing_(writing),
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
    WritingRadios* writing_;  // nullptr without a record
    StationTally tally_;
    StationScreen screen_;
    WriteJobInput input_;
    RadioRunSettings settings_;
    bool interrupted_ = false;  // a radio was left half written
    std::mutex mutex_;
};

void StationPort::Serve() {
    shownPort_ = ShownPortName(station_.setup_.devices[slot_]);
    StationSeat seat(slot_, station_.screen_, station_.writing_, shownPort_);
    RunNextRadioLoop(
        *this, seat, station_.input_, [this](JobSeat& round, const WriteJobInput& input) {
            run_ = RunRadio(station_.options_.write.ports[slot_], station_.setup_.devices[slot_],
                            station_.settings_, round, input);
            return run_.outcome;
        });
    if (!givenUp_) {  // the reason stays on the port's line
        station_.screen_.Live(slot_, "Stopped");
    }
}

void StationPort::Waiting() {
    station_.screen_.Event(slot_, WaitingForRadioText(shownPort_));
}

// With --count, the radios ended and those being written on the other ports may already make
// the count: this one is then left in its boot loader, untouched, for the next run.
bool StationPort::Answered() {
    admitted_ = station_.tally_.Admit();
    if (admitted_) {
        station_.screen_.Event(slot_, StepStatusText(Step::ReadIdentification, shownPort_));
    }
    return admitted_;
}

// A failed radio stays in its boot loader and is written again at the next round.
bool StationPort::RadioEnded(const WriteJobOutcome& /*outcome*/) {
    station_.RadioEnded(slot_, run_);
    admitted_ = false;
    return true;
}

// A path that is there but can never be a serial port gives the port up; one that is missing
// or busy is tried again (a cable being plugged back in, another program letting go).
bool StationPort::PortFailed(const WriteJobOutcome& outcome, const HeldWords& /*held*/) {
    const std::string reason = DescribeOpenFailure(outcome.openFailure, run_.device);
    if (outcome.openFailure == OpenFailure::NotATerminal ||
        outcome.openFailure == OpenFailure::ControllingTerminal) {
        station_.screen_.Event(slot_, reason);
        station_.tally_.PortGivenUp(kExitPortNotOpened);
        givenUp_ = true;
        return false;
    }
    station_.screen_.Event(slot_, PortGoneText(reason.empty() ? kPortOpenFailedMessage : reason));
    return true;
}

void StationPort::Pause(std::chrono::milliseconds time) {
    PauseUnlessStopped(time, [this] { return StopRequested(); });
}

// A port without a radio of its own stops looking once --count is made by the others.
bool StationPort::StopRequested() {
    return !station_.Serving() || (!admitted_ && station_.tally_.Full());
}

void Station::RadioEnded(std::size_t slot, const RadioRun& run) {
    tally_.Count(run.outcome, run.exitCode);
    screen_.Event(slot, OutcomeStatusText(ShownPortName(run.device), run.outcome));
    const std::string line =
        JobRecordJson(ShownPortName(run.device), run.outcome, run.exitCode, false);
    std::string reason;
    if (writing_ != nullptr && !writing_->Finish(slot, line, run.outcome.interrupted, reason)) {
        tally_.NotRecorded(reason);
        screen_.Note(RecordFailedLine(run.port, writing_->Path(), reason));
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
    const std::string notRecorded = tally_.NotRecordedSummary();
    if (!notRecorded.empty()) {
        PrintLine(stderr, notRecorded);
    }
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
    for (std::size_t slot = 0; slot < setup->devices.size(); ++slot) {
        const std::string never = WhyNeverAPort(setup->devices[slot]);
        if (!never.empty()) {
            if (options.write.json) {
                PrintJsonFailure(never, kExitPortNotOpened, {{"port", options.write.ports[slot]}});
            }
            PrintLine(stderr, "qv-flash station: " + never);
            return kExitPortNotOpened;
        }
    }
    std::shared_ptr<WritingRadios> writing;
    if (setup->record) {
        writing = std::make_shared<WritingRadios>(setup->record);
    }
    InstallInterruptionHandlers(3, writing);
    if (!AskOnce(options, *setup, options.write.json ? stderr : stdout)) {
        if (options.write.json) {
            PrintJsonFailure(kCancelledMessage, kExitCancelled);
        }
        PrintLine(stderr, kCancelledMessage);
        return kExitCancelled;
    }
    Station station(options, *setup, writing.get());
    return station.Run();
}

}  // namespace

Command AddStationCommand(CLI::App& app) {
    auto* sub = app.add_subcommand(
        "station", "Write radio after radio as they come, on one port or several, until Ctrl+C");
    auto options = std::make_shared<StationOptions>();
    AddWriteOptions(*sub, options->write);
    sub->add_option("--count", options->count,
                    "End after N radios have ended (updated, failed or refused); with several "
                    "ports no radio is started once N have ended or are being written")
        ->check(CLI::PositiveNumber);
    sub->footer(
        "Asks once, then on every port waits for a radio, writes it without a further question, "
        "records it and waits for the next. A radio of another model is refused and sent out "
        "of its boot loader. Ctrl+C ends the station once the radios being written are done; "
        "a second Ctrl+C interrupts them. Exit codes: 0 when no radio failed, otherwise the "
        "worst code of the radios (as write's); 2 usage error, 3 image not valid, 4 a port that "
        "can never be a serial port (a file, /dev/null), 6 cancelled at the question, 7 a "
        "radio's outcome could not be recorded.");
    return {sub, [options] { return RunStation(*options); }};
}

}  // namespace qv::cli
