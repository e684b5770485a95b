// qv-radio-sim's options, parsed with CLI11.

#include "sim/sim_cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "program_version.h"

namespace qv {

namespace {

constexpr std::size_t kFieldSize = 16;  // the model code and the version reply

// Until this release --version TEXT set the simulated radio's firmware version. A --version
// that is followed by a value still does, with a notice; alone it prints the program's.
std::vector<std::string> WithOldVersionSpelling(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool valueFollows = i + 1 < args.size() && !args[i + 1].starts_with("-");
        if ((args[i] == "--version" && valueFollows) || args[i].starts_with("--version=")) {
            std::fprintf(stderr,
                         "qv-radio-sim: --version TEXT is now --radio-version TEXT; the old "
                         "spelling goes with the next release\n");
            args[i].replace(0, std::string_view("--version").size(), "--radio-version");
        }
    }
    return args;
}

}  // namespace

SimCliResult ParseSimCommandLine(int argc, char** argv) {
    SimCommandLine line;
    SimulatorOptions& sim = line.simulator;
    std::vector<std::string> faults;
    bool noHighSpeed = false;

    CLI::App app{"Boot-loader simulator of the QV-310/QV-410 radios on a pseudo-terminal"};
    app.add_option("--link", line.linkPath, "Make PATH a symbolic link to the far end");
    app.add_option("--speed", sim.listenSpeed, "Speed at which the boot loader waits for the probe")
        ->check(CLI::IsMember({1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}));
    app.add_option("--stop-bits", sim.stopBits, "Stop bits the updater must use")
        ->check(CLI::IsMember({1, 2}));
    app.add_option("--model", sim.model, "Model code (bytes 0..15 of the identification)")
        ->check(CLI::Validator(
            [](std::string& text) {
                return text.size() <= kFieldSize ? std::string() : "at most 16 characters";
            },
            "TEXT"));
    app.set_version_flag("--version", std::string("qv-radio-sim ") + kProgramVersion);
    app.add_option("--radio-version", sim.version, "Firmware version the radio reports")
        ->check(CLI::Validator(
            [](std::string& text) {
                return text.size() <= kFieldSize ? std::string() : "at most 16 characters";
            },
            "TEXT"));
    app.add_flag("--no-version", sim.noVersion, "The radio holds no version (sixteen 0xFF)");
    app.add_flag("--no-high-speed", noHighSpeed, "Acknowledge 0x0B but never listen at 115200");
    app.add_flag("--line-rate", sim.lineRate,
                 "Model the line: each byte takes its time on the wire, and a streamed frame "
                 "that starts before the radio has programmed the last one is a deviation");
    app.add_option("--fault", faults,
                   "Fault: silent-linkup, wrong-model[=RADIO], nak-block=K, "
                   "hangup-block=K, bad-checksum, silent-after=CMD, "
                   "garbage-before-reply, late-area");
    app.add_option("--dump", line.dumpPath, "Write region 1 of the flash here after each job");
    app.add_option("--report", line.reportPath, "Write the report as JSON here");
    app.add_option("--jobs", sim.radios,
                   "N radios in turn on the link: each leaves its boot loader with the end "
                   "command and the next answers --between later; the program ends when the "
                   "last has left (0: one radio, served until killed)")
        ->check(CLI::NonNegativeNumber);
    int adapterLatencyMs = 0;
    app.add_option("--adapter-latency", adapterLatencyMs,
                   "Model a USB adapter whose chip holds every reply MS ms (its latency timer), "
                   "or 1 ms while the updater has low latency on (0: no adapter)")
        ->type_name("MS")
        ->check(CLI::Range(0, 255));
    int betweenMs = static_cast<int>(sim.between.count());
    app.add_option("--between", betweenMs,
                   "Milliseconds from one radio leaving its boot loader to the next answering")
        ->check(CLI::NonNegativeNumber);

    std::vector<std::string> args = WithOldVersionSpelling(argc, argv);
    std::reverse(args.begin(), args.end());  // CLI11 takes a vector last argument first
    try {
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        return SimCliResult{std::nullopt, app.exit(error)};
    }
    sim.highSpeed = !noHighSpeed;
    sim.between = std::chrono::milliseconds(betweenMs);
    sim.adapter.latency = std::chrono::milliseconds(adapterLatencyMs);
    // Only a test's USB shim can tell the flag the updater set on a pseudo-terminal.
    sim.adapter.lowLatency = ShimLowLatencyProbe();
    for (const std::string& text : faults) {
        std::optional<SimFault> fault = ParseSimFault(text);
        if (!fault) {
            std::fprintf(stderr, "--fault: unknown fault '%s'\n", text.c_str());
            return SimCliResult{std::nullopt, 2};
        }
        sim.faults.push_back(*fault);
    }
    return SimCliResult{std::move(line), 0};
}

}  // namespace qv
