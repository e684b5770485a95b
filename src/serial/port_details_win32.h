#pragma once
// What the system's device manager knows about each COM port: its friendly name and, for a
// USB adapter, its ids and serial number.

#include <map>

#include "serial/port_table.h"

namespace qv {

// Keyed by port number; a port the device manager does not know is missing from the map.
std::map<int, PortInfo> DeviceManagerDetails();

}  // namespace qv
