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
void RecordRun(RecordFile* record, const RadioRun& run) {
    if (record != nullptr && !record->Append(JobRecordJson(ShownPortName(run.device), run.outcome,
                                                           run.exitCode, false))) {
        PrintLine(stderr, "qv-flash: cannot append to the record " + record->Path());
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
std::vector<RadioRun> UpdateRadios(const WriteOptions& options, RunSetup& setup) {
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
        TerminalHost host(labelled ? options.ports[i] : std::string(), confirmation, progress, i);
        runs[i] =
            RunRadio(options.ports[i], setup.devices[i], settings, host,
                     [&](RadioLink& link, JobHost& h) { return RunWriteJob(link, h, input); });
        confirmation.RadioEnded(i);
        RecordRun(setup.record.get(), runs[i]);
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
                RecordRun(setup.record.get(), runs[i]);
            }
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }
    progress.Finish();
    return runs;
}

int ReportRuns(const WriteOptions& options, const std::vector<RadioRun>& runs) {
    std::vector<int> codes;
    std::size_t updated = 0;
    for (const RadioRun& run : runs) {
        codes.push_back(run.exitCode);
        updated += run.exitCode == kExitSuccess ? 1 : 0;
    }
    const int worst = WorstExitCode(codes);
    const bool labelled = runs.size() > 1;
    if (options.json) {
        JsonValue radios = JsonValue::array();
        for (const RadioRun& run : runs) {
            radios.push_back(
                JobRecordObject(ShownPortName(run.device), run.outcome, run.exitCode, true));
        }
        PrintLine(stdout, JsonLine({{"radios", radios}, {"exitCode", worst}}));
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
    InstallInterruptionHandlers();
    const std::vector<RadioRun> runs = UpdateRadios(options, *setup);
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
