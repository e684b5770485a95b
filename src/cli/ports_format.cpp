#include "cli/ports_format.h"

#include <cstdio>

#include "workflow/json_text.h"

namespace qv::cli {
namespace {

std::string Hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

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
