#pragma once
// USB details of a serial device as Linux tells them under /sys.

#include <filesystem>
#include <optional>
#include <string>

#include "serial/port_table.h"

namespace qv {

// Fills vendor and product id, serial number, description and latency timer when the device
// (or the device a symbolic link names) is a USB adapter; leaves the fields as they are
// otherwise.
void FillUsbDetails(PortInfo& info);

// What the port list calls an adapter: its maker and product as the USB device tells them, the
// maker once.
std::string UsbDescription(const std::string& maker, const std::string& product);

// The latency timer of a USB-serial adapter whose driver keeps one (ftdi_sio), as
// <sysRoot>/bus/usb-serial/devices/<name>/latency_timer tells it now; nothing for other
// devices.
std::optional<LatencyTimer> UsbLatencyTimer(const std::string& device,
                                            const std::filesystem::path& sysRoot = "/sys");

}  // namespace qv
