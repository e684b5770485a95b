// The port table in a browser: the ports this site has been granted (navigator.serial's
// getPorts(), as the page's worker last listed them), then the practice radio when the page
// offers it. Web Serial tells only a port's USB vendor and product ids; the port list names
// the adapter from them (frontend/port_entry_name_web.cpp).

#include <emscripten.h>

#include <charconv>
#include <cstdint>
#include <sstream>

#include "serial/port_table.h"
#include "serial/usb_devices.h"

// clang-format off
// One port a line: "device<TAB>vendor id<TAB>product id", the ids in hex or empty.
EM_JS(int, qv_web_ports_text_size, (), {
    return lengthBytesUTF8(Module.qvSerial.portsText()) + 1;
});
EM_JS(void, qv_web_ports_text, (char* out, int size), {
    stringToUTF8(Module.qvSerial.portsText(), out, size);
});
// clang-format on

namespace qv {
namespace {

std::optional<std::uint16_t> HexId(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string HexText(std::uint16_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value = static_cast<std::uint16_t>(value >> 4);
    }
    return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(tab + 1);
    }
}

PortInfo PortOfLine(std::string_view line) {
    const auto fields = Fields(line);
    PortInfo info;
    info.device = std::string(fields[0]);
    if (fields.size() >= 3) {
        info.usbVendorId = HexId(fields[1]);
        info.usbProductId = HexId(fields[2]);
    }
    return info;
}

std::string PortsText() {
    const int size = qv_web_ports_text_size();
    std::string text(static_cast<std::size_t>(size), '\0');
    qv_web_ports_text(text.data(), size);
    text.resize(text.find('\0'));
    return text;
}

}  // namespace

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    std::istringstream lines(PortsText());
    for (std::string line; std::getline(lines, line) && ports.size() < kMaxPortNumber;) {
        if (line.empty()) {
            continue;
        }
        PortInfo info = PortOfLine(line);
        info.number = static_cast<int>(ports.size()) + 1;
        ports.push_back(std::move(info));
    }
    return ports;
}

std::string DeviceNameForPort(int number) {
    const auto ports = ListPorts();
    if (number < 1 || static_cast<std::size_t>(number) > ports.size()) {
        return {};
    }
    return ports[static_cast<std::size_t>(number) - 1].device;
}

PortInfo DescribeDevice(const std::string& device) {
    for (PortInfo& port : ListPorts()) {
        if (port.device == device) {
            port.number = 0;
            return port;
        }
    }
    PortInfo missing;
    missing.device = device;
    missing.missing = true;
    return missing;
}

// A grant of a port outlives the page only for an adapter with a USB serial number, and Web
// Serial shows no serial number: the adapter's kind is what finds the radio's cable again.
std::string StablePortName(const std::string& device) {
    const PortInfo port = DescribeDevice(device);
    if (port.usbVendorId && port.usbProductId) {
        return "usb:" + HexText(*port.usbVendorId) + ":" + HexText(*port.usbProductId);
    }
    return device;
}

// A browser shows no USB device whose driver is missing: it offers serial ports alone.
std::vector<UsbDeviceRecord> ListUsbDevices() {
    return {};
}

}  // namespace qv
