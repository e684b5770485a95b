// The port table on Windows: COM1 .. COM256, those the system knows a device for.

#include <windows.h>

#include <array>

#include "serial/port_table.h"

namespace qv {
namespace {

bool DeviceExists(int number) {
    const std::string name = "COM" + std::to_string(number);
    std::array<char, 512> target{};
    return QueryDosDeviceA(name.c_str(), target.data(), static_cast<DWORD>(target.size())) != 0;
}

}  // namespace

std::string DeviceNameForPort(int number) {
    if (number < 1 || number > kMaxPortNumber) {
        return {};
    }
    return WindowsDeviceName(number);
}

PortInfo DescribeDevice(const std::string& device) {
    PortInfo info;
    info.device = device;
    return info;
}

std::string StablePortName(const std::string& device) {
    // \\.\COM10 and COM10 name the same port.
    const std::string prefix = "\\\\.\\";
    return device.rfind(prefix, 0) == 0 ? device.substr(prefix.size()) : device;
}

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    for (int number = 1; number <= kMaxPortNumber; ++number) {
        if (DeviceExists(number)) {
            PortInfo info;
            info.number = number;
            info.device = WindowsDeviceName(number);
            ports.push_back(std::move(info));
        }
    }
    return ports;
}

}  // namespace qv
