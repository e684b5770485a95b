// Placeholder until the command is built.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"

namespace qv::cli {

Command AddInfoCommand(CLI::App& app) {
    auto* sub = app.add_subcommand("info", "not built yet");
    return {sub, [] {
                std::cerr << "qv-flash: info is not built yet\n";
                return kExitUsage;
            }};
}

}  // namespace qv::cli
