#include <windows.h>

#include "cli/own_console.h"

namespace qv::cli {

bool StartedInAConsoleOfItsOwn() {
    // A command prompt shares its console with the programs it starts: two processes or more.
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

}  // namespace qv::cli
