#include "cli/ports_format.h"

#include <cstdio>

#include "workflow/job_status.h"
#include "workflow/json_line.h"

namespace qv::cli {
namespace {

std::string Hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

std::string PortTextLine(const PortInfo& port) {
    std::string line = std::to_string(port.number) + "  " + port.device;
    if (port.usbVendorId && port.usbProductId) {
        line += "  " + Hex4(*port.usbVendorId) + ":" + Hex4(*port.usbProductId);
    }
    if (!port.serialNumber.empty()) {
        line += "  serial " + port.serialNumber;
    }
    if (!port.description.empty()) {
        line += "  " + port.description;
    }
    if (port.latencyTimer) {
        line += "  latency timer " + std::to_string(port.latencyTimer->value.count()) + " ms";
        if (LatencyTimerCosts(*port.latencyTimer)) {
            line += ": each reply waits for it; " +
                    LatencyTimerFix(ShownPortName(port.device), *port.latencyTimer);
        }
    }
    if (port.permissionDenied) {
        line += "  no permission: " + PermissionFix(port);
    }
    if (port.missing) {
        line += "  not present";
    }
    return line;
}

std::string PortJsonLine(const PortInfo& port) {
    JsonValue json = {{"number", port.number}, {"device", port.device}};
    if (port.usbVendorId && port.usbProductId) {
        json["usbVendorId"] = Hex4(*port.usbVendorId);
        json["usbProductId"] = Hex4(*port.usbProductId);
    }
    if (!port.serialNumber.empty()) {
        json["serialNumber"] = port.serialNumber;
    }
    if (!port.description.empty()) {
        json["description"] = port.description;
    }
    if (port.latencyTimer) {
        json["latencyTimerMs"] = port.latencyTimer->value.count();
        if (LatencyTimerCosts(*port.latencyTimer)) {
            json["latencyTimerFix"] =
                LatencyTimerFix(ShownPortName(port.device), *port.latencyTimer);
        }
    }
    json["permissionDenied"] = port.permissionDenied;
    if (port.missing) {
        json["missing"] = true;
    }
    if (port.permissionDenied) {
        json["fix"] = PermissionFix(port);
    }
    return JsonLine(json);
}

}  // namespace qv::cli
