#pragma once
// Which port the list selects when it has no selection to keep: the radio's port of the last
// successful update when it is listed, else the first USB adapter (the radio's cable, rather
// than the machine's built-in UART), else the first port.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "serial/port_table.h"

namespace qv {

// A port of the table that passed the probe.
struct ListedPort {
    PortInfo info;
    std::string stableName;  // StablePortName of the device: what the window remembers
};

// USB-serial and CDC-ACM adapters: the system names their USB ids, or their driver's device
// name tells.
bool IsUsbAdapter(const PortInfo& port);

// The index to select; nothing when no port is listed. storedPort: the stable name kept from
// the last successful update, empty when there is none.
std::optional<std::size_t> FirstChoice(std::span<const ListedPort> ports,
                                       std::string_view storedPort);

}  // namespace qv
