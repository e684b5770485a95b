#include "frontend/port_list.h"

namespace qv {

std::string PortEntryName(const PortInfo& port) {
    return std::to_string(port.number);
}

}  // namespace qv
