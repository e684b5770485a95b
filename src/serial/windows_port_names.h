#pragma once
// What the Windows device tables say about a serial port, read from their texts. Plain text
// work, built on every OS so that it is tested everywhere.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The number of a port name as the system lists it ("COM5" gives 5); nothing for a name that
// is no COM port of the table (1 .. 256), such as "CNCA0" or "COM05".
std::optional<int> ComPortNumber(std::string_view name);

struct UsbIdentity {
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::string serialNumber;
    // The port is a child of FTDI's bus driver ("FTDIBUS\..."), whose device key holds the
    // chip's LatencyTimer.
    bool ftdiDriver = false;
};

// Vendor and product id from a hardware id ("USB\VID_0403&PID_6001&REV_0600",
// "FTDIBUS\COMPORT&VID_0403&PID_6001"), and the serial number where the device instance id
// carries one: "USB\VID_0403&PID_6001\A600ABCD" does, an id the system made up
// ("USB\VID_...&MI_00\6&2A1B3C&0&0000", with '&') does not. An instance id under
// "FTDIBUS\" marks a port of FTDI's driver.
UsbIdentity ParseUsbIdentity(std::string_view hardwareId, std::string_view instanceId);

}  // namespace qv
