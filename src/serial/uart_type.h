#pragma once
// Whether a terminal has a UART behind it (POSIX only).

#include <sys/types.h>
#include <filesystem>
#include <optional>
#include <string>

namespace qv {

// A PC's serial core makes /dev/ttyS* nodes whether or not a UART is fitted; those report
// PORT_UNKNOWN to the serial-info request and are no port. USB-serial and CDC-ACM drivers
// report PORT_UNKNOWN by design (Linux 5.13 on), and pseudo-terminals do not answer at all:
// both are real ports. So only a serial-core port must report a UART type.
bool HasUartBehind(int fd);

// The rule itself. reportedType: the serial-info request's UART type, nothing when the driver
// does not answer it.
bool UartRuleAccepts(bool serialCorePort, std::optional<int> reportedType);

// A serial-core port has a "type" attribute under /sys/dev/char/<major>:<minor>.
bool IsSerialCorePort(dev_t device, const std::filesystem::path& sysRoot = "/sys");

// The same rule for a terminal the port table finds under /dev, told by its name (ttyS2) and
// read from <sysRoot>/class/tty/<name>/type without opening it: Debian's kernel makes ttyS0 to
// ttyS3 on every PC, fitted or not.
bool SysfsShowsUart(const std::string& name, const std::filesystem::path& sysRoot = "/sys");

}  // namespace qv
