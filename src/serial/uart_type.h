#pragma once
// Whether a terminal's driver knows a UART behind it (POSIX only).

namespace qv {

// False only when the driver answers the serial-info request and reports no UART, as the
// unused /dev/ttyS* nodes of a PC do. Drivers that do not answer it (pseudo-terminals, some
// USB adapters, other systems) count as known.
bool UartTypeKnown(int fd);

}  // namespace qv
