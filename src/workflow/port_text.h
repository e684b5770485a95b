#pragma once
// A serial port in words, for the window's port list and qv-flash ports alike.

#include <chrono>
#include <span>
#include <string>
#include <string_view>

#include "serial/port_table.h"
#include "serial/usb_devices.h"

namespace qv {

// The way out of a refused permission, for the user to type.
std::string PermissionFix(const PortInfo& port);

// A latency timer above this costs a technician time: every acknowledged block waits for it
// (16 ms, the chip's default, is nearly a minute on an update); 1 or 2 ms cost seconds.
inline constexpr std::chrono::milliseconds kLatencyWorthTelling{2};

// Whether a job on the port waits the timer listed: above kLatencyWorthTelling, unless the
// link lowers it as it opens the port.
bool LatencyTimerCosts(const LatencyTimer& timer);

// How to set the timer to 1 ms for good, for the user to do: "set it to 1 ms in Device
// Manager: ...", or the sysfs file to write as root.
std::string LatencyTimerFix(std::string_view port, const LatencyTimer& timer);

// The port's name followed, where the system tells them, by the adapter's description and
// serial number: "/dev/ttyUSB0 - FT232R USB UART (A1B2C3)".
std::string PortLabel(std::string_view name, const PortInfo& port);

// Why no port can be chosen, from the port table as it stands.
struct NoPortExplanation {
    std::string summary;  // a few words: "No serial port found"
    std::string detail;   // the summary and what to do about it
};
// usbDevices: what the system tells of its USB devices (Windows); a USB-serial adapter whose
// driver does not work is the likeliest reason there, and is named with its hardware id.
NoPortExplanation ExplainNoPort(std::span<const PortInfo> table,
                                std::span<const UsbDeviceRecord> usbDevices = {});

// The maker of a USB-serial chip by its USB vendor id ("FTDI"); empty for any other vendor.
std::string_view UsbSerialChipMaker(std::uint16_t vendorId);

}  // namespace qv
