#pragma once
// Which serial ports exist and how port numbers map to devices.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

inline constexpr int kMaxPortNumber = 256;

// A USB adapter's latency timer. An FTDI chip holds the bytes it receives until 62 of them
// gather or this timer runs out, so each short reply of the radio waits up to this long.
struct LatencyTimer {
    std::chrono::milliseconds value{0};
    // Linux: the link asks the driver for low latency at every open (ftdi_sio then runs the
    // timer at 1 ms), so a job does not wait the value listed. Windows: the driver keeps it.
    bool loweredAtOpen = false;
    // Where root sets it for good (Linux sysfs); empty where Device Manager holds it.
    std::string file;
};

struct PortInfo {
    int number = 0;      // 1 .. 256
    std::string device;  // COM3, \\.\COM10, /dev/ttyUSB0
    // What the OS tells about a USB adapter, where it tells.
    std::optional<std::uint16_t> usbVendorId;
    std::optional<std::uint16_t> usbProductId;
    std::string serialNumber;
    std::string description;
    // The device exists but this user may not read and write it; ownerGroup is the group
    // that may (empty where the OS does not tell).
    bool permissionDenied = false;
    std::string ownerGroup;
    // Named in QV_SERIAL_PORTS, but nothing is at that path (yet): the number stays its own.
    bool missing = false;
    // Where the system tells it (FTDI adapters).
    std::optional<LatencyTimer> latencyTimer;
};

// Windows device name of port n: COMn below 10, \\.\COMn from 10 on.
std::string WindowsDeviceName(int number);

// Device name of port n on this OS (empty when the table has no such port).
std::string DeviceNameForPort(int number);

// The port table of this OS: on POSIX the serial devices found in natural order, then the paths
// of QV_SERIAL_PORTS (':'-separated), 256 at most; on Windows the COM1 .. COM256 that exist.
// On POSIX each port's number is its place in the table.
std::vector<PortInfo> ListPorts();

// What the OS tells about one device, as ListPorts tells it (number 0: outside the table).
PortInfo DescribeDevice(const std::string& device);

// The name that finds the same adapter again after a replug or a reboot, when device numbers
// may have moved: its /dev/serial/by-id link where there is one, else the device itself; COMn
// on Windows.
std::string StablePortName(const std::string& device);

// Natural order of device names: runs of digits compare by value (ttyS2 before ttyS10).
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace qv
