#pragma once
// What the system's device manager knows about each COM port: its friendly name and, for a
// USB adapter, its ids, serial number and (FTDI) latency timer.

#include <map>
#include <optional>
#include <string>

#include "serial/port_table.h"

namespace qv {

// Keyed by port number; a port the device manager does not know is missing from the map.
std::map<int, PortInfo> DeviceManagerDetails();

// The latency timer of the adapter behind a port ("COM5", "\\.\COM10") where its driver keeps
// one (FTDI's); nothing otherwise.
std::optional<LatencyTimer> LatencyTimerOfPort(const std::string& deviceName);

}  // namespace qv
