// qv-flash: the command-line updater on the same core as the desktop application.

#include <CLI/CLI.hpp>
#include <array>
#include <iostream>

#include "cli/answer_input.h"
#include "cli/commands.h"
#include "cli/own_console.h"
#include "program_version.h"
#include "workflow/outcome_codes.h"

namespace {

// A first word that names no command: said with the word, not as "a subcommand is required".
bool IsUnknownCommand(const CLI::App& app, int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        return false;
    }
    for (const CLI::App* sub : app.get_subcommands({})) {
        if (sub->check_name(argv[1])) {
            return false;
        }
    }
    return true;
}

// Double-clicked in Explorer: the console would close on an error before anyone read it. The
// help stays until Enter is pressed.
int ExplainAndWait(const CLI::App& app) {
    std::cout << app.help() << "\nqv-flash is a command-line program: open a command prompt in "
              << "this folder and type qv-flash followed by a command, for example qv-flash "
              << "ports. The window program is qv-updater.exe.\n\nPress Enter to close this "
              << "window." << std::flush;
    std::string ignored;
    qv::cli::ReadAnswerLine(stdin, ignored);
    return qv::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"qv-flash: firmware updater for QV-310/QV-410 (HW V2.0) radios"};
    app.set_version_flag("--version", std::string("qv-flash ") + qv::kProgramVersion);
    app.require_subcommand(1);

    const std::array<qv::cli::Command, 5> commands = {
        qv::cli::AddPortsCommand(app), qv::cli::AddInfoCommand(app),
        qv::cli::AddIdentifyCommand(app), qv::cli::AddWriteCommand(app),
        qv::cli::AddStationCommand(app)};

    if (argc == 1 && qv::cli::StartedInAConsoleOfItsOwn()) {
        return ExplainAndWait(app);
    }
    if (IsUnknownCommand(app, argc, argv)) {
        std::cerr << "qv-flash: unknown command: " << argv[1] << " (commands:";
        for (const CLI::App* sub : app.get_subcommands({})) {
            std::cerr << " " << sub->get_name();
        }
        std::cerr << ")\nRun with --help for more information.\n";
        return qv::kExitUsage;
    }
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
