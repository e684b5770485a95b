#pragma once
// Which serial ports exist and how port numbers map to devices.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv {

inline constexpr int kMaxPortNumber = 256;

struct PortInfo {
    int number = 0;       // 1 .. 256
    std::string device;   // COM3, \\.\COM10, /dev/ttyUSB0
    // What the OS tells about a USB adapter, where it tells.
    std::optional<std::uint16_t> usbVendorId;
    std::optional<std::uint16_t> usbProductId;
    std::string serialNumber;
    std::string description;
};

// Windows device name of port n: COMn below 10, \\.\COMn from 10 on.
std::string WindowsDeviceName(int number);

// Device name of port n on this OS (empty when the table has no such port).
std::string DeviceNameForPort(int number);

// The port table of this OS: on POSIX the serial devices found in natural order, then the paths
// of QV_SERIAL_PORTS (':'-separated), 256 at most; on Windows COM1 .. COM256.
std::vector<PortInfo> ListPorts();

}  // namespace qv
