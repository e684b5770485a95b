#include "cli/busy_port_hint.h"

namespace qv::cli {

std::string BusyPortCauses() {
    return "a terminal program or another updater holds it, or the system is still setting up "
           "an adapter just plugged in (try again in a few seconds)";
}

}  // namespace qv::cli
