// qv-flash write: the whole job on one radio or several at once.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interruption.h"
#include "cli/radio_report.h"
#include "cli/radio_run.h"
#include "cli/run_setup.h"
#include "cli/write_options.h"
#include "workflow/job_messages.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"
#include "workflow/json_line.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

namespace {

ProgressStyle ChooseProgressStyle(const WriteOptions& options) {
    if (options.quiet) {
        return ProgressStyle::Quiet;
    }
    // Trace lines would tear a redrawn bar apart.
    if (options.trace || !IsTerminal(stderr)) {
        return ProgressStyle::Lines;
    }
    return ProgressStyle::Bar;
}

// Written as each radio ends: a later failure or interruption keeps the lines of the radios
// already done.
void RecordRun(WritingRadios* record, std::size_t slot, RadioRun& run) {
    if (record != nullptr &&
        !record->Finish(slot,
                        JobRecordJson(ShownPortName(run.device), run.outcome, run.exitCode, false),
                        run.outcome.interrupted, run.recordFailure)) {
        PrintLine(stderr, RecordFailedLine(run.port, record->Path(), run.recordFailure));
    }
}

// A radio whose thread the system refused (a limit on threads): untouched, and said so.
RadioRun NotStarted(const std::string& port, const std::string& device) {
    RadioRun run;
    run.port = port;
    run.device = device;
    run.outcome.closingMessage = kNoThreadMessage;
    run.outcome.status = StatusExchangeFailed;
    run.exitCode = kExitConnection;
    return run;
}

// Every radio on its own thread with its own link; one radio runs on this thread. The radios
// are all identified before the one question; each is recorded as it ends.
std::vector<RadioRun> UpdateRadios(const WriteOptions& options, RunSetup& setup,
                                   WritingRadios* writing) {
    const std::size_t count = options.ports.size();
    const bool labelled = count > 1;
    const WriteJobInput input = setup.Input();
    ProgressDisplay progress(stderr, ChooseProgressStyle(options), options.ports);
    Confirmation confirmation(options.yes, count, options.json ? stderr : stdout, stdin);
    RadioRunSettings settings;
    settings.trace = options.trace;
    settings.labelled = labelled;

    std::vector<RadioRun> runs(count);
    auto update = [&](std::size_t i) {
        TerminalSeat seat(labelled ? options.ports[i] : std::string(), confirmation, progress, i);
        seat.RecordWritingTo(writing, ShownPortName(setup.devices[i]));
        runs[i] = RunRadio(options.ports[i], setup.devices[i], settings, seat, input);
        confirmation.RadioEnded(i);
        RecordRun(writing, i, runs[i]);
    };
    if (count == 1) {
        update(0);
    } else {
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < count; ++i) {
            try {
                threads.emplace_back(update, i);
            } catch (const std::system_error&) {
                runs[i] = NotStarted(options.ports[i], setup.devices[i]);
                confirmation.RadioEnded(i);
                RecordRun(writing, i, runs[i]);
            }
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }
    progress.Finish();
    return runs;
}

// The one line of --json's "error": the radios not recorded, or the message of the first radio
// with the worst code.
std::string RunError(const std::vector<RadioRun>& runs, int worst, const std::string& notRecorded) {
    if (worst == kExitNotRecorded) {
        return notRecorded;
    }
    for (const RadioRun& run : runs) {
        if (run.exitCode == worst) {
            std::string message = OutcomeMessage(run.outcome);
            std::replace(message.begin(), message.end(), '\n', ' ');
            return runs.size() > 1 ? run.port + ": " + message : message;
        }
    }
    return {};
}

int ReportRuns(const WriteOptions& options, const std::vector<RadioRun>& runs) {
    std::vector<int> codes;
    std::size_t updated = 0;
    int unrecorded = 0;
    std::string recordFailure;
    for (const RadioRun& run : runs) {
        codes.push_back(run.exitCode);
        updated += run.exitCode == kExitSuccess ? 1 : 0;
        if (!run.recordFailure.empty()) {
            codes.push_back(kExitNotRecorded);
            if (unrecorded++ == 0) {
                recordFailure = run.recordFailure;
            }
        }
    }
    const int worst = WorstExitCode(codes);
    const std::string notRecorded =
        unrecorded > 0 ? NotRecordedText(unrecorded, recordFailure) : std::string();
    const bool labelled = runs.size() > 1;
    if (options.json) {
        JsonValue radios = JsonValue::array();
        for (const RadioRun& run : runs) {
            radios.push_back(
                JobRecordObject(ShownPortName(run.device), run.outcome, run.exitCode, true));
            if (!run.recordFailure.empty()) {
                radios.back()["recordFailure"] = run.recordFailure;
            }
        }
        JsonValue object = {{"radios", radios}};
        if (worst != kExitSuccess) {
            object["error"] = RunError(runs, worst, notRecorded);
        }
        object["exitCode"] = worst;
        PrintLine(stdout, JsonLine(object));
    }
    for (const RadioRun& run : runs) {
        if (!options.json || run.exitCode != kExitSuccess) {
            PrintOutcome(run, labelled);
        }
    }
    if (labelled && !options.json) {
        PrintLine(worst == kExitSuccess ? stdout : stderr,
                  "Updated " + std::to_string(updated) + " of " + std::to_string(runs.size()) +
                      " radios.");
    }
    // The shop's proof is missing: said again where it is read, with the summary.
    if (unrecorded > 0) {
        PrintLine(stderr, notRecorded);
    }
    if (labelled && !options.json) {
        // The last line says what matters most: a radio left half written.
        if (std::any_of(runs.begin(), runs.end(),
                        [](const RadioRun& run) { return run.outcome.interrupted; })) {
            PrintLine(stderr, kInterruptedMessage);
        }
    }
    return worst;
}

int RunWrite(const WriteOptions& options) {
    int exitCode = kExitSuccess;
    const std::unique_ptr<RunSetup> setup = PrepareRun("write", options, exitCode);
    if (!setup) {
        return exitCode;
    }
    std::shared_ptr<WritingRadios> writing;
    if (setup->record) {
        writing = std::make_shared<WritingRadios>(setup->record);
    }
    InstallInterruptionHandlers(2, writing);
    const std::vector<RadioRun> runs = UpdateRadios(options, *setup, writing.get());
    return ReportRuns(options, runs);
}

}  // namespace

Command AddWriteCommand(CLI::App& app) {
    auto* sub = app.add_subcommand("write", "Write the firmware into one radio or several");
    auto options = std::make_shared<WriteOptions>();
    AddWriteOptions(*sub, *options);
    return {sub, [options] { return RunWrite(*options); }};
}

}  // namespace qv::cli
