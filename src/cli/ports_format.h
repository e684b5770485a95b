#pragma once
// How qv-flash ports shows one port: a text line or a JSON object on one line.

#include <string>

#include "serial/port_table.h"

namespace qv::cli {

// The way out of a refused permission, for the user to type.
std::string PermissionFix(const PortInfo& port);

std::string PortTextLine(const PortInfo& port);
std::string PortJsonLine(const PortInfo& port);

}  // namespace qv::cli
