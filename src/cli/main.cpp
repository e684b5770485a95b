// qv-flash: the command-line updater on the same core as the desktop application.

#include <CLI/CLI.hpp>
#include <array>
#include <iostream>

#include "cli/commands.h"
#include "workflow/outcome_codes.h"

#ifndef QV_VERSION
#define QV_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
    CLI::App app{"qv-flash: firmware updater for QV-310/QV-410 (HW V2.0) radios"};
    app.set_version_flag("--version", std::string("qv-flash ") + QV_VERSION);
    app.require_subcommand(1);

    const std::array<qv::cli::Command, 4> commands = {
        qv::cli::AddPortsCommand(app), qv::cli::AddInfoCommand(app),
        qv::cli::AddIdentifyCommand(app), qv::cli::AddWriteCommand(app)};

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return qv::kExitUsage;
    }
    for (const auto& command : commands) {
        if (command.subcommand->parsed()) {
            return command.run();
        }
    }
    return qv::kExitUsage;
}
