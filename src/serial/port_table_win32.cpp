// The port table on Windows: the COM ports the system has registered, in number order, with
// what the device manager knows of each.

#include <windows.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "serial/port_details_win32.h"
#include "serial/port_table.h"
#include "serial/windows_port_names.h"

namespace qv {
namespace {

// Every serial port driver enters its port here (Wine too, for the ports it sets up).
std::set<int> RegisteredPortNumbers() {
    std::set<int> numbers;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return numbers;
    }
    for (DWORD index = 0;; ++index) {
        std::array<char, 256> name{};
        std::array<char, 64> data{};
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size() - 1);
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        if (const auto number = ComPortNumber(std::string_view(data.data(), dataSize))) {
            numbers.insert(*number);
        }
    }
    RegCloseKey(key);
    return numbers;
}

// Without the registry's list: every COM1 .. COM256 the system knows a device for.
std::set<int> ProbedPortNumbers() {
    std::set<int> numbers;
    for (int number = 1; number <= kMaxPortNumber; ++number) {
        const std::string name = "COM" + std::to_string(number);
        std::array<char, 512> target{};
        if (QueryDosDeviceA(name.c_str(), target.data(), static_cast<DWORD>(target.size())) != 0) {
            numbers.insert(number);
        }
    }
    return numbers;
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
    std::set<int> numbers = RegisteredPortNumbers();
    if (numbers.empty()) {
        numbers = ProbedPortNumbers();
    }
    const auto details = DeviceManagerDetails();
    std::vector<PortInfo> ports;
    for (const int number : numbers) {
        const auto known = details.find(number);
        PortInfo info = known != details.end() ? known->second : PortInfo{};
        info.number = number;
        info.device = WindowsDeviceName(number);
        ports.push_back(std::move(info));
    }
    return ports;
}

}  // namespace qv
