#pragma once
// USB details of a serial device as Linux tells them under /sys.

#include "serial/port_table.h"

namespace qv {

// Fills vendor and product id, serial number and description when the device (or the device
// a symbolic link names) is a USB adapter; leaves the fields as they are otherwise.
void FillUsbDetails(PortInfo& info);

}  // namespace qv
