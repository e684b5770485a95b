#include "cli/write_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <set>

#include "cli/port_argument.h"
#include "serial/port_table.h"

namespace qv::cli {

namespace {

CLI::Validator RoundsValidator() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            int value = 0;
            if (!CLI::detail::lexical_cast(text, value) || !IsRoundsChoice(value)) {
                return "must be 10, 20, ... 90";
            }
            return {};
        },
        "10..90");
}

// A number option given an empty value is no default: it is a mistake on the command line.
CLI::Validator NotEmpty() {
    return CLI::Validator(
        [](std::string& text) -> std::string { return text.empty() ? "needs a value" : ""; }, "");
}

bool NeedsDesigner(const WriteOptions& options) {
    return std::any_of(options.designerOptions.begin(), options.designerOptions.end(),
                       [](const CLI::Option* option) { return option->count() > 0; });
}

}  // namespace

void AddWriteOptions(CLI::App& sub, WriteOptions& options) {
    sub.add_option("--port", options.ports,
                   "Port number of the port table or device path; repeat it to update several "
                   "radios at once")
        ->allow_extra_args(false)
        ->required();
    sub.add_flag("--yes", options.yes, "Do not ask before writing");
    sub.add_flag("--json", options.json, "Print the outcome as JSON");
    sub.add_flag("--trace", options.trace, "Show every byte exchanged on stderr");
    sub.add_flag("--quiet", options.quiet, "No progress display");
    sub.add_option("--record", options.recordPath, "Append one JSON line per radio to FILE");
    sub.add_option("DESIGNER", options.words, "The designer word, which allows the options below");
    options.designerOptions = {
        sub.add_option("--mot", options.motPath,
                       "Write this S-record file instead of the carried one"),
        sub.add_option("--max-buffer", options.maxBuffer, "Block size of region 1")
            ->check(NotEmpty())
            ->check(CLI::IsMember(
                std::vector<int>(kMaxBufferChoices.begin(), kMaxBufferChoices.end()))),
        sub.add_option("--rounds", options.rounds,
                       "Blocks between resynchronisations (streamed): 10 to 90 in steps of 10")
            ->check(NotEmpty())
            ->check(RoundsValidator()),
        sub.add_option("--stop-bits", options.stopBits, "Stop bits of the line")
            ->check(NotEmpty())
            ->check(
                CLI::IsMember(std::vector<int>(kStopBitsChoices.begin(), kStopBitsChoices.end()))),
        sub.add_flag("--unencrypted", options.unencrypted, "Do not mask the traffic"),
    };
    sub.footer(
        "Exit codes: 0 written, 1 no answer or a refused exchange, 2 usage error, 3 image not "
        "valid, 4 port cannot be opened, 5 another model, 6 cancelled, 128 + the signal when "
        "Ctrl+C, SIGTERM or SIGHUP interrupted the writing (the radio is half written). With "
        "several radios the worst code wins.");
}

std::string CheckWriteOptions(const WriteOptions& options) {
    bool designer = false;
    for (const std::string& word : options.words) {
        if (!IsDesignerWord(word)) {
            return "unexpected argument: " + word;
        }
        designer = true;
    }
    if (!designer && NeedsDesigner(options)) {
        return "--mot, --max-buffer, --rounds, --stop-bits and --unencrypted need the designer "
               "word";
    }
    // One thread and one link per port, as many as the port table can hold.
    if (options.ports.size() > static_cast<std::size_t>(kMaxPortNumber)) {
        return "more than " + std::to_string(kMaxPortNumber) + " ports";
    }
    std::set<std::string> seen;
    for (const std::string& port : options.ports) {
        if (!IsValidPortArgument(port)) {
            return "not a port: " + port;
        }
        if (!seen.insert(port).second) {
            return "port given twice: " + port;
        }
    }
    return {};
}

UpdaterSettings SettingsFrom(const WriteOptions& options) {
    UpdaterSettings settings;
    settings.maxBuffer = options.maxBuffer.value_or(settings.maxBuffer);
    settings.roundsPerWrite = options.rounds.value_or(settings.roundsPerWrite);
    settings.stopBits = options.stopBits.value_or(settings.stopBits);
    settings.unencrypted = options.unencrypted ? 1 : 0;
    if (options.motPath) {
        settings.useMotFile = 1;
        settings.motFilePath = *options.motPath;
    }
    return settings;
}

}  // namespace qv::cli
