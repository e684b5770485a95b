#include "frontend/port_choice.h"

#include <algorithm>
#include <array>

namespace qv {

namespace {

// Device names of the USB-serial and CDC-ACM drivers (Linux; macOS).
constexpr std::array<std::string_view, 4> kUsbDeviceNames = {"/dev/ttyUSB", "/dev/ttyACM",
                                                             "/dev/cu.usb", "/dev/tty.usb"};

}  // namespace

bool IsUsbAdapter(const PortInfo& port) {
    if (port.usbVendorId.has_value()) {
        return true;
    }
    return std::any_of(kUsbDeviceNames.begin(), kUsbDeviceNames.end(),
                       [&port](std::string_view name) { return port.device.starts_with(name); });
}

std::optional<std::size_t> FirstChoice(std::span<const ListedPort> ports,
                                       std::string_view storedPort) {
    if (ports.empty()) {
        return std::nullopt;
    }
    const auto indexOf = [&ports](auto found) {
        return static_cast<std::size_t>(found - ports.begin());
    };
    if (!storedPort.empty()) {
        const auto stored = std::find_if(ports.begin(), ports.end(), [storedPort](const auto& p) {
            return p.stableName == storedPort;
        });
        if (stored != ports.end()) {
            return indexOf(stored);
        }
    }
    const auto usb = std::find_if(ports.begin(), ports.end(),
                                  [](const ListedPort& p) { return IsUsbAdapter(p.info); });
    return usb != ports.end() ? indexOf(usb) : 0;
}

}  // namespace qv
