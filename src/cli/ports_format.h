#pragma once
// How qv-flash ports shows one port: a text line or a JSON object on one line.

#include <string>

#include "serial/port_table.h"
#include "workflow/port_text.h"  // PermissionFix

namespace qv::cli {

std::string PortTextLine(const PortInfo& port);
std::string PortJsonLine(const PortInfo& port);

}  // namespace qv::cli
