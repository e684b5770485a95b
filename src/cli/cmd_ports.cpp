// qv-flash ports: the port table, one line a port.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/ports_format.h"
#include "serial/port_table.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

Command AddPortsCommand(CLI::App& app) {
    auto* sub = app.add_subcommand("ports", "List the serial ports and their numbers");
    auto json = std::make_shared<bool>(false);
    sub->add_flag("--json", *json, "One JSON object a port");
    return {sub, [json] {
                const auto ports = ListPorts();
                for (const auto& port : ports) {
                    std::cout << (*json ? PortJsonLine(port) : PortTextLine(port)) << '\n';
                }
                if (ports.empty() && !*json) {
                    std::cerr << "No serial ports found.\n";
                }
                return kExitSuccess;
            }};
}

}  // namespace qv::cli
