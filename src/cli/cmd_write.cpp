// qv-flash write: the whole job on one radio or several at once.

#include <CLI/CLI.hpp>
#include <memory>
#include <system_error>
#include <thread>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/radio_report.h"
#include "cli/radio_run.h"
#include "cli/write_options.h"
#include "image/load_image.h"
#include "workflow/job_record.h"
#include "workflow/json_text.h"
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

int ReportInvalidImage(const LoadedImage& image) {
    if (!image.reason.empty()) {
        const std::string where = image.line > 0 ? "line " + std::to_string(image.line) + ": " : "";
        PrintLine(stderr, where + image.reason);
    }
    PrintLine(stderr, kImageNotValidMessage);
    return kExitImageNotValid;
}

// Written as each radio ends: a later failure or interruption keeps the lines of the radios
// already done.
void RecordRun(const std::string& path, const RadioRun& run) {
    if (path.empty()) {
        return;
    }
    if (!AppendLine(path, JobRecordJson(run.port, run.outcome, run.exitCode, false))) {
        PrintLine(stderr, "qv-flash: cannot append to the record " + path);
    }
}

// A radio whose thread the system refused (a limit on threads): untouched, and said so.
RadioRun NotStarted(const std::string& port) {
    RadioRun run;
    run.port = port;
    run.outcome.closingMessage = kNoThreadMessage;
    run.outcome.status = StatusExchangeFailed;
    run.exitCode = kExitConnection;
    return run;
}

// Every radio on its own thread with its own link; one radio runs on this thread.
std::vector<RadioRun> UpdateRadios(const WriteOptions& options, const WriteJobInput& input) {
    const std::size_t count = options.ports.size();
    const bool labelled = count > 1;
    ProgressDisplay progress(stderr, ChooseProgressStyle(options), options.ports);
    Confirmation confirmation(options.yes, options.json ? stderr : stdout, stdin);
    RadioRunSettings settings;
    settings.trace = options.trace;
    settings.labelled = labelled;

    std::vector<RadioRun> runs(count);
    auto update = [&](std::size_t i) {
        TerminalHost host(labelled ? options.ports[i] : std::string(), confirmation, progress, i);
        runs[i] = RunRadio(options.ports[i], settings, host, [&](RadioLink& link, JobHost& h) {
            return RunWriteJob(link, h, input);
        });
        RecordRun(options.recordPath, runs[i]);
    };
    if (count == 1) {
        update(0);
    } else {
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < count; ++i) {
            try {
                threads.emplace_back(update, i);
            } catch (const std::system_error&) {
                runs[i] = NotStarted(options.ports[i]);
                RecordRun(options.recordPath, runs[i]);
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
        std::string radios = "[";
        for (const RadioRun& run : runs) {
            radios += (radios.size() > 1 ? "," : "") +
                      JobRecordJson(run.port, run.outcome, run.exitCode, true);
        }
        PrintLine(stdout, JsonObject()
                              .AddRaw("radios", radios + "]")
                              .Add("exitCode", static_cast<std::int64_t>(worst))
                              .Text());
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
    return worst;
}

int RunWrite(const WriteOptions& options) {
    const std::string problem = CheckWriteOptions(options);
    if (!problem.empty()) {
        PrintLine(stderr, "qv-flash write: " + problem);
        return kExitUsage;
    }
    const UpdaterSettings settings = SettingsFrom(options);
    const LoadedImage image =
        LoadAndCheckImage(settings.maxBuffer, settings.motFilePath, settings.useMotFile);
    if (!image.valid) {
        return ReportInvalidImage(image);
    }
    WriteJobInput input;
    input.region1Blocks = &image.region1Blocks;
    input.versionLabel = image.versionLabel;
    input.settings = settings;

    const std::vector<RadioRun> runs = UpdateRadios(options, input);
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
