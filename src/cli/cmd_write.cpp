// Placeholder until the command is built.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_codes.h"

namespace qv::cli {

Command AddWriteCommand(CLI::App& app) {
    auto* sub = app.add_subcommand("write", "not built yet");
    return {sub, [] {
                std::cerr << "qv-flash: write is not built yet\n";
                return kExitUsage;
            }};
}

}  // namespace qv::cli
