#include "cli/busy_port_hint.h"

namespace qv::cli {

std::string BusyPortCauses() {
    return "a terminal program or another updater holds it, or ModemManager is probing an "
           "adapter just plugged in for a modem (that takes a few seconds: try again; a udev "
           "rule with ENV{ID_MM_DEVICE_IGNORE}=\"1\" keeps it off the adapter)";
}

}  // namespace qv::cli
