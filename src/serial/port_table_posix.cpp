// The port table on POSIX: serial devices found under /dev (a serial-core node only with a UART
// behind it), then the paths of QV_SERIAL_PORTS.

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "serial/port_table.h"
#include "serial/uart_type.h"
#include "serial/usb_sysfs.h"

namespace qv {
namespace {

#if defined(__APPLE__)
constexpr std::array<std::string_view, 1> kDevicePrefixes = {"cu."};
constexpr bool kDigitsAfterPrefix = false;
#else
constexpr std::array<std::string_view, 4> kDevicePrefixes = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA"};
constexpr bool kDigitsAfterPrefix = true;
#endif

bool IsSerialDeviceName(std::string_view name) {
    for (const auto prefix : kDevicePrefixes) {
        if (!name.starts_with(prefix) || name.size() == prefix.size()) {
            continue;
        }
        const auto rest = name.substr(prefix.size());
        if (!kDigitsAfterPrefix ||
            std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> FoundDevices() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (IsSerialDeviceName(name) && SysfsShowsUart(name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
    std::vector<std::string> devices;
    for (const auto& name : names) {
        devices.push_back("/dev/" + name);
    }
    return devices;
}

void AddNamedPaths(std::vector<std::string>& devices) {
    const char* named = std::getenv("QV_SERIAL_PORTS");
    std::string_view rest = named != nullptr ? named : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string path(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        if (!path.empty() && std::find(devices.begin(), devices.end(), path) == devices.end()) {
            devices.push_back(path);
        }
    }
}

std::vector<std::string> PortDevices() {
    std::vector<std::string> devices = FoundDevices();
    AddNamedPaths(devices);
    if (devices.size() > static_cast<std::size_t>(kMaxPortNumber)) {
        devices.resize(kMaxPortNumber);
    }
    return devices;
}

std::string GroupName(gid_t gid) {
    std::array<char, 4096> buffer{};
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::to_string(gid);
    }
    return found->gr_name;
}

// A device this user may not open: say so, and name the group that may.
void FillPermission(PortInfo& info) {
    struct stat status {};
    if (stat(info.device.c_str(), &status) != 0) {
        info.missing = errno == ENOENT;
        return;
    }
    if (access(info.device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        info.permissionDenied = true;
        info.ownerGroup = GroupName(status.st_gid);
    }
}

}  // namespace

std::string DeviceNameForPort(int number) {
    const auto devices = PortDevices();
    if (number < 1 || static_cast<std::size_t>(number) > devices.size()) {
        return {};
    }
    return devices[static_cast<std::size_t>(number) - 1];
}

PortInfo DescribeDevice(const std::string& device) {
    PortInfo info;
    info.device = device;
    FillUsbDetails(info);
    FillPermission(info);
    return info;
}

std::string StablePortName(const std::string& device) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error) {
        return device;
    }
    for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", error)) {
        std::error_code linkError;
        const fs::path linked = fs::canonical(entry.path(), linkError);
        if (!linkError && linked == target) {
            return entry.path().string();
        }
    }
    return device;
}

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    for (const auto& device : PortDevices()) {
        PortInfo info = DescribeDevice(device);
        info.number = static_cast<int>(ports.size()) + 1;
        ports.push_back(std::move(info));
    }
    return ports;
}

}  // namespace qv
