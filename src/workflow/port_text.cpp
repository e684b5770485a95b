#include "workflow/port_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "serial/windows_port_names.h"

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

namespace {

// The makers of the chips in the radio's USB cables and the adapters shops use.
constexpr std::array<std::pair<std::uint16_t, std::string_view>, 4> kUsbSerialChipMakers = {{
    {0x0403, "FTDI"},
    {0x10C4, "Silicon Labs"},
    {0x1A86, "WCH"},
    {0x067B, "Prolific"},
}};

// The first adapter of a USB-serial chip maker whose driver does not work.
const UsbDeviceRecord* AdapterWithoutDriver(std::span<const UsbDeviceRecord> devices) {
    const auto found = std::find_if(devices.begin(), devices.end(), [](const auto& device) {
        const auto vendor = ParseUsbIdentity(device.hardwareId, "").vendorId;
        return device.problemCode != kDeviceProblemNone && vendor &&
               !UsbSerialChipMaker(*vendor).empty();
    });
    return found != devices.end() ? &*found : nullptr;
}

NoPortExplanation ExplainAdapter(const UsbDeviceRecord& device) {
    const std::string maker(UsbSerialChipMaker(*ParseUsbIdentity(device.hardwareId, "").vendorId));
    const std::string named =
        (device.description.empty() ? maker + " USB serial adapter" : device.description) + " (" +
        device.hardwareId + ")";
    if (device.problemCode == kDeviceProblemDisabled) {
        return {"USB serial adapter disabled", "USB serial adapter disabled: " + named +
                                                   " is switched off in the Device "
                                                   "Manager; enable it there"};
    }
    return {"USB serial adapter without its driver",
            "USB serial adapter without a working driver: " + named + ", problem code " +
                std::to_string(device.problemCode) + "; install the " + maker +
                " driver, then plug the cable in again"};
}

}  // namespace

std::string_view UsbSerialChipMaker(std::uint16_t vendorId) {
    const auto found =
        std::find_if(kUsbSerialChipMakers.begin(), kUsbSerialChipMakers.end(),
                     [vendorId](const auto& maker) { return maker.first == vendorId; });
    return found != kUsbSerialChipMakers.end() ? found->second : std::string_view();
}

NoPortExplanation ExplainNoPort(std::span<const PortInfo> table,
                                std::span<const UsbDeviceRecord> usbDevices) {
    // The radio's cable is the one that gave no port: its adapter comes before the others.
    if (const UsbDeviceRecord* adapter = AdapterWithoutDriver(usbDevices)) {
        return ExplainAdapter(*adapter);
    }
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
