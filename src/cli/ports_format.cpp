#include "cli/ports_format.h"

#include <cstdio>

#include "workflow/job_status.h"
#include "workflow/json_text.h"

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
    JsonObject json;
    json.Add("number", std::int64_t{port.number}).Add("device", port.device);
    if (port.usbVendorId && port.usbProductId) {
        json.Add("usbVendorId", Hex4(*port.usbVendorId));
        json.Add("usbProductId", Hex4(*port.usbProductId));
    }
    if (!port.serialNumber.empty()) {
        json.Add("serialNumber", port.serialNumber);
    }
    if (!port.description.empty()) {
        json.Add("description", port.description);
    }
    if (port.latencyTimer) {
        json.Add("latencyTimerMs", static_cast<std::int64_t>(port.latencyTimer->value.count()));
        if (LatencyTimerCosts(*port.latencyTimer)) {
            json.Add("latencyTimerFix",
                     LatencyTimerFix(ShownPortName(port.device), *port.latencyTimer));
        }
    }
    json.Add("permissionDenied", port.permissionDenied);
    if (port.missing) {
        json.Add("missing", true);
    }
    if (port.permissionDenied) {
        json.Add("fix", PermissionFix(port));
    }
    return json.Text();
}

}  // namespace qv::cli
