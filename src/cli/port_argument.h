#pragma once
// PORT as qv-flash takes it: a number of the port table, or a device path.

#include <string>

#include "serial/serial_link.h"

namespace qv::cli {

// True when the text names a port: 1..256, or anything that is not all digits (a path).
bool IsValidPortArgument(const std::string& text);

// Points the link at the port. Call only with a valid argument.
void SelectPort(SerialLink& link, const std::string& text);

}  // namespace qv::cli
