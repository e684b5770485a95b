#pragma once
// The command line of qv-radio-sim.

#include <optional>
#include <string>

#include "sim/simulator.h"

namespace qv {

struct SimCommandLine {
    SimulatorOptions simulator;
    std::string linkPath;    // --link: a symbolic link to the far end, removed at exit
    std::string dumpPath;    // --dump: region 1 of the flash after each job
    std::string reportPath;  // --report: the report as JSON after each job and at exit
};

// The parsed line, or the exit code when the program ends here (--help: 0, an error: 2).
struct SimCliResult {
    std::optional<SimCommandLine> line;
    int exitCode = 0;
};

SimCliResult ParseSimCommandLine(int argc, char** argv);

}  // namespace qv
