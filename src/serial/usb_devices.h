#pragma once
// The USB devices the system knows, with whether their driver works: a radio's cable whose
// adapter has no driver gives no serial port at all, and the port list can only say why when
// it sees the device behind it. Windows tells through SetupAPI; elsewhere the list is empty
// (the USB-serial drivers are part of the kernel).

#include <string>
#include <vector>

namespace qv {

struct UsbDeviceRecord {
    std::string description;   // as the device manager names it
    std::string hardwareId;    // "USB\VID_0403&PID_6001&REV_0600"
    unsigned problemCode = 0;  // the device manager's problem code; 0 when the device works
};

// The problem codes the port list tells apart.
inline constexpr unsigned kDeviceProblemNone = 0;
inline constexpr unsigned kDeviceProblemDisabled = 22;  // the user disabled the device

// Every present device whose hardware id names a USB vendor, in the system's order.
std::vector<UsbDeviceRecord> ListUsbDevices();

}  // namespace qv
