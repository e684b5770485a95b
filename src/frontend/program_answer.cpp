#include "frontend/program_answer.h"

#include "program_version.h"

namespace qv {

namespace {

constexpr const char* kUsage =
    "Usage: qv-updater [DESIGNER]\n"
    "The desktop firmware updater of QV-310 and QV-410 radios (hardware 2.0): pick the radio's\n"
    "port, put the radio in its boot-loader mode and press Write.\n"
    "  DESIGNER   the designer word: Special Settings, with a Mot file of your own\n"
    "  --help     show this and end\n"
    "  --version  show the program's version and end\n"
    "For scripts and headless machines: qv-flash --help.\n";

}  // namespace

std::optional<std::string> AnswerWithoutWindow(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--version") {
            return std::string("qv-updater ") + kProgramVersion + "\n";
        }
        if (argument == "--help" || argument == "-h") {
            return kUsage;
        }
    }
    return std::nullopt;
}

}  // namespace qv
