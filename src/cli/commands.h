#pragma once
// Each qv-flash command adds its subcommand to the parser and returns what runs it.

#include <functional>

namespace CLI {
class App;
}

namespace qv::cli {

struct Command {
    CLI::App* subcommand = nullptr;
    std::function<int()> run;  // returns the exit code
};

Command AddPortsCommand(CLI::App& app);
Command AddInfoCommand(CLI::App& app);
Command AddIdentifyCommand(CLI::App& app);
Command AddWriteCommand(CLI::App& app);
Command AddStationCommand(CLI::App& app);

}  // namespace qv::cli
