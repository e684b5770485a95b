#include "cli/own_console.h"

namespace qv::cli {

bool StartedInAConsoleOfItsOwn() {
    return false;
}

}  // namespace qv::cli
