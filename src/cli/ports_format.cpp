#include "cli/ports_format.h"

#include <cstdio>

namespace qv::cli {
namespace {

std::string Hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

std::string JsonQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte > 0x7E) {
            char escaped[7];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

void AddField(std::string& json, const char* key, const std::string& quotedValue) {
    json += ", ";
    json += JsonQuoted(key);
    json += ": ";
    json += quotedValue;
}

}  // namespace

std::string PermissionFix(const PortInfo& port) {
    if (port.ownerGroup.empty()) {
        return "ask the administrator for read and write access to " + port.device;
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
    return line;
}

std::string PortJsonLine(const PortInfo& port) {
    std::string json = "{\"number\": " + std::to_string(port.number);
    AddField(json, "device", JsonQuoted(port.device));
    if (port.usbVendorId && port.usbProductId) {
        AddField(json, "usb-vendor-id", JsonQuoted(Hex4(*port.usbVendorId)));
        AddField(json, "usb-product-id", JsonQuoted(Hex4(*port.usbProductId)));
    }
    if (!port.serialNumber.empty()) {
        AddField(json, "serial-number", JsonQuoted(port.serialNumber));
    }
    if (!port.description.empty()) {
        AddField(json, "description", JsonQuoted(port.description));
    }
    AddField(json, "permission-denied", port.permissionDenied ? "true" : "false");
    if (port.permissionDenied) {
        AddField(json, "fix", JsonQuoted(PermissionFix(port)));
    }
    return json + "}";
}

}  // namespace qv::cli
