#include "workflow/port_text.h"

#include <algorithm>

namespace qv {

std::string PermissionFix(const PortInfo& port) {
    if (port.ownerGroup.empty()) {
        return "ask the administrator for read and write access to " + port.device;
    }
    // Joining root's group would give away far more than a serial port.
    if (port.ownerGroup == "root") {
        return "the device is root-only: a udev rule can give it to a group of yours, e.g. "
               "SUBSYSTEM==\"tty\", GROUP=\"dialout\", MODE=\"0660\" for its device";
    }
    return "add yourself to group " + port.ownerGroup + ": sudo usermod -aG " + port.ownerGroup +
           " $USER, then log in again";
}

bool LatencyTimerCosts(const LatencyTimer& timer) {
    return !timer.loweredAtOpen && timer.value > kLatencyWorthTelling;
}

std::string LatencyTimerFix(std::string_view port, const LatencyTimer& timer) {
    if (!timer.file.empty()) {
        return "set it to 1 ms as root: echo 1 > " + timer.file;
    }
    // FTDI's driver takes the value from its device key, which Device Manager writes.
    return "set it to 1 ms in Device Manager: " + std::string(port) +
           ", Properties, Port Settings, Advanced, Latency Timer (msec)";
}

std::string PortLabel(std::string_view name, const PortInfo& port) {
    std::string label(name);
    if (!port.description.empty()) {
        label += " - " + port.description;
    }
    if (!port.serialNumber.empty()) {
        label += " (" + port.serialNumber + ")";
    }
    return label;
}

NoPortExplanation ExplainNoPort(std::span<const PortInfo> table) {
    const auto denied = std::find_if(table.begin(), table.end(),
                                     [](const PortInfo& port) { return port.permissionDenied; });
    if (denied != table.end()) {
        return {"No permitted serial port",
                "Serial ports present but not permitted: " + PermissionFix(*denied)};
    }
    const bool present =
        std::any_of(table.begin(), table.end(), [](const PortInfo& port) { return !port.missing; });
    if (present) {
        return {"No usable serial port",
                "No usable serial port: the ports found are in use or have no serial hardware"};
    }
    return {"No serial port found",
            "No serial port found: connect the radio's cable, the list follows it"};
}

}  // namespace qv
