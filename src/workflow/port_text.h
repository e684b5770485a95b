#pragma once
// A serial port in words, for the window's port list and qv-flash ports alike.

#include <span>
#include <string>
#include <string_view>

#include "serial/port_table.h"
#include "serial/usb_devices.h"

namespace qv {

// The way out of a refused permission, for the user to type.
std::string PermissionFix(const PortInfo& port);

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
