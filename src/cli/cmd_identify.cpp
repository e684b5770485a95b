// qv-flash identify: which radio is on the line, and which firmware version it holds.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interruption.h"
#include "cli/json_failure.h"
#include "cli/port_argument.h"
#include "cli/radio_report.h"
#include "cli/radio_run.h"
#include "cli/traffic_trace.h"
#include "workflow/job_record.h"
#include "workflow/json_line.h"
#include "workflow/outcome_codes.h"
#include "workflow/version_text.h"

namespace qv::cli {

namespace {

struct IdentifyOptions {
    std::string port;
    bool json = false;
    bool trace = false;
};

void PrintJson(const RadioRun& run) {
    const WriteJobOutcome& outcome = run.outcome;
    JsonValue object = {
        {"port", run.port},
        {"modelName",
         outcome.identified ? JsonValue(ModelNameText(outcome.modelCode)) : JsonValue(nullptr)},
        {"model", outcome.identified ? JsonValue(ModelCodeHex(outcome)) : JsonValue(nullptr)},
        {"version", outcome.versionRead ? JsonValue(outcome.radioVersionText) : JsonValue(nullptr)},
        {"exitCode", run.exitCode},
    };
    if (run.exitCode != kExitSuccess) {
        object["message"] = OutcomeMessage(outcome);
        object["error"] = OutcomeMessage(outcome);
    }
    PrintLine(stdout, JsonLine(object));
}

int RunIdentify(const IdentifyOptions& options) {
    if (!IsValidPortArgument(options.port)) {
        if (options.json) {
            PrintJsonFailure("not a port: " + options.port, kExitUsage, {{"port", options.port}});
        }
        PrintLine(stderr, "qv-flash identify: not a port: " + options.port);
        return kExitUsage;
    }
    const std::string device = ResolvePort(options.port);
    if (device.empty()) {
        if (options.json) {
            PrintJsonFailure(NoSuchPortMessage(options.port), kExitPortNotOpened,
                             {{"port", options.port}});
        }
        PrintLine(stderr, NoSuchPortMessage(options.port));
        return kExitPortNotOpened;
    }
    InstallInterruptionHandlers();
    ProgressDisplay progress(stderr, ProgressStyle::Quiet, {options.port});
    Confirmation confirmation(true, 1, stdout, stdin);  // identify asks nothing
    TerminalSeat seat({}, confirmation, progress, 0);
    RadioRunSettings settings;
    settings.trace = options.trace;
    const RadioRun run =
        RunRadio(options.port, device, settings, seat, IdentifyInput(UpdaterSettings{}));

    if (options.json) {
        PrintJson(run);
    } else if (run.outcome.identified) {
        PrintLine(stdout, "model-name: " + Printable(ModelNameText(run.outcome.modelCode)));
        PrintLine(stdout, "model: " + ModelCodeHex(run.outcome));
        if (run.outcome.versionRead) {
            PrintLine(stdout, "version: " + Printable(run.outcome.radioVersionText));
        }
    }
    if (run.exitCode != kExitSuccess) {
        PrintOutcome(run, false);
    }
    return run.exitCode;
}

}  // namespace

Command AddIdentifyCommand(CLI::App& app) {
    auto* sub = app.add_subcommand("identify", "Tell the radio's model code and firmware version");
    auto options = std::make_shared<IdentifyOptions>();
    sub->add_option("--port", options->port, "Port number of the port table or device path")
        ->required();
    sub->add_flag("--json", options->json, "Print the outcome as JSON");
    sub->add_flag("--trace", options->trace, "Show every byte exchanged on stderr");
    return {sub, [options] { return RunIdentify(*options); }};
}

}  // namespace qv::cli
